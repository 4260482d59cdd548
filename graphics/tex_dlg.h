// TexDlg: paints a dialog with a texture. Subclasses the dialog, tiles its
// client area with the normal variant and overpaints its frame as a bevel
// (highlight top and left, shadow bottom and right). The dialog's texture
// is registered on it for controls that paint pieces of the background.
#ifndef SETUP_GRAPHICS_TEX_DLG_H
#define SETUP_GRAPHICS_TEX_DLG_H

#include <windows.h>
#include "graphics/dib_tex.h"

// Frame strips, in the order they are painted.
enum { TEX_FRAME_TOP = 0, TEX_FRAME_BOTTOM, TEX_FRAME_LEFT, TEX_FRAME_RIGHT, TEX_FRAME_STRIPS };

// Texture names have room for 62 characters.
enum { TEXTURE_NAME_SIZE = 63 };

class TexDlg {
public:
    // Loads the texture and installs Tex_SubclassProc on dialog. The last
    // argument is not used.
    TexDlg(HWND dialog, HINSTANCE instance, HINSTANCE resInstance, LPCSTR textureName, int unused);
    // Deletes the regions and puts the dialog's own procedure back.
    ~TexDlg();

    int OnPaint();                 // WM_PAINT of the dialog
    int OnNCPaint(HRGN update);    // the bevel, after the system's frame
    // Realizes the texture's palette through the page: on activation
    // (WM_QUERYNEWPALETTE), or with `moved` after another window has
    // changed the system palette (WM_PALETTECHANGED). Tiles and pictures
    // are device bitmaps that keep the system-palette indices they were
    // made with: when this realization or the other window moved colours,
    // the tiles are drawn again, the controls are told to load their
    // pictures again (WM_PALETTECHANGED, from the page), and the page is
    // repainted. FALSE when the texture has no palette or the display none
    // to realize.
    LRESULT Realize(int moved);
    // Frame regions for the window rectangle moved to (0, 0).
    void CalcRegions(const RECT &window);
    void ClientRectToScreen(RECT &rect);

    HWND Dialog() const { return hDlg; }
    WNDPROC PreviousProc() const { return prevProc; }
    DIBTex &Texture() { return texture; }
    HRGN Region(int strip) const;
    int FrameThickness() const { return frameThickness; }

private:
    TexDlg(const TexDlg &);
    TexDlg &operator=(const TexDlg &);

    HWND hDlg;
    HINSTANCE hInstance;
    HINSTANCE hResInstance;
    WNDPROC prevProc;                  // the dialog's procedure before us
    DIBTex texture;                    // owned
    HRGN regions[TEX_FRAME_STRIPS];    // owned; window coordinates
    int frameThickness;
    char texName[TEXTURE_NAME_SIZE];   // the texture's resource, to draw it again
};

// Window procedure of a textured dialog; it finds the painter through the
// texture control, beside which it lives (tex_dlg_ctl.cpp). A dialog whose
// painter cannot be found is passed to its window class's procedure.
LRESULT CALLBACK Tex_SubclassProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The dialog's texture, or null (not a window, no texture registered).
// Takes the dialog as an untyped pointer so that it can serve as a
// sprite's texture source.
DIBTex *DlgTexture(void *hDlg);
// Registers texture on dialog ("DIBTexPtr"), or removes the registration
// when texture is null. 1 on success, 0 on failure.
int SetDlgDIBTex(HWND dialog, DIBTex *texture);

// Window properties of a textured dialog.
#define TEXDLG_CONTROL_PROP "QzTexDlg"
#define TEXDLG_TEXTURE_PROP "DIBTexPtr"

#endif

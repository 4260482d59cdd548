// MyTexDlgCtl: the invisible control ("VelloxTexDlg") that textures its
// parent dialog. Its window text names the texture bitmap.
#ifndef SETUP_GRAPHICS_TEX_DLG_CTL_H
#define SETUP_GRAPHICS_TEX_DLG_CTL_H

#include "controls/control_ctl.h"

class TexDlg;

class MyTexDlgCtl : public MyControlCtl {
public:
    MyTexDlgCtl();
    // Removes the texture from the dialog and restores its procedure.
    ~MyTexDlgCtl() override;
    // 1 when the dialog is textured; 0 without a texture name, when the
    // dialog is textured already, or when memory ran out.
    int OnCreate(HWND window, CREATESTRUCTA *create) override;
    void OnPaint(PAINTSTRUCT &paint) override;   // paints nothing

    TexDlg *Painter() const { return texDlg; }

private:
    TexDlg *texDlg;   // owned; null until creation succeeds
};

#endif

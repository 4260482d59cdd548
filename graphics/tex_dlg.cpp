#include "graphics/tex_dlg.h"

TexDlg::TexDlg(HWND dialog, HINSTANCE instance, HINSTANCE resInstance, LPCSTR textureName,
               int unused)
    : hDlg(dialog), hInstance(instance), hResInstance(resInstance), prevProc(NULL),
      texture(resInstance, textureName), frameThickness(0)
{
    for (int i = 0; i < TEX_FRAME_STRIPS; i++)
        regions[i] = NULL;
    lstrcpynA(texName, textureName, TEXTURE_NAME_SIZE);
    prevProc = (WNDPROC)GetWindowLongPtrA(hDlg, GWLP_WNDPROC);
    SetWindowLongPtrA(hDlg, GWLP_WNDPROC, (LONG_PTR)Tex_SubclassProc);
}

TexDlg::~TexDlg()
{
    for (int i = 0; i < TEX_FRAME_STRIPS; i++)
        if (regions[i])
            DeleteObject(regions[i]);
    if (prevProc)
        SetWindowLongPtrA(hDlg, GWLP_WNDPROC, (LONG_PTR)prevProc);
}

HRGN TexDlg::Region(int strip) const
{
    return strip >= 0 && strip < TEX_FRAME_STRIPS ? regions[strip] : NULL;
}

void TexDlg::ClientRectToScreen(RECT &rect)
{
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    ClientToScreen(hDlg, &corners[0]);
    ClientToScreen(hDlg, &corners[1]);
    rect.left = corners[0].x;
    rect.top = corners[0].y;
    rect.right = corners[1].x;
    rect.bottom = corners[1].y;
}

int TexDlg::OnPaint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hDlg, &paint);
    if (dc && !IsRectEmpty(&paint.rcPaint)) {
        HPALETTE previous = NULL;
        if (texture.Palette()) {
            previous = SelectPalette(dc, texture.Palette(), FALSE);
            RealizePalette(dc);
        }
        RECT window, client;
        GetWindowRect(hDlg, &window);
        GetClientRect(hDlg, &client);
        ClientRectToScreen(client);
        texture.TexMap(dc, client.left - window.left, client.top - window.top, paint.rcPaint,
                       TEX_NORMAL, SRCCOPY);
        if (previous)
            SelectPalette(dc, previous, FALSE);
    }
    EndPaint(hDlg, &paint);
    return 0;
}

int TexDlg::OnNCPaint(HRGN update)
{
    HDC dc = GetWindowDC(hDlg);
    if (!dc)
        return 0;
    HPALETTE previous = NULL;
    if (texture.Palette()) {
        previous = SelectPalette(dc, texture.Palette(), FALSE);
        RealizePalette(dc);
    }

    RECT window;
    GetWindowRect(hDlg, &window);
    const int w = window.right - window.left, h = window.bottom - window.top;
    RECT origin = {0, 0, w, h};
    if (!regions[TEX_FRAME_TOP])
        CalcRegions(origin);

    const int t = frameThickness;
    const RECT strips[TEX_FRAME_STRIPS] = {
        {0, 0, w, t}, {0, h - t, w, h}, {0, 0, t, h}, {w - t, 0, w, h}};
    const int variants[TEX_FRAME_STRIPS] = {TEX_HILIGHT, TEX_SHADOW, TEX_HILIGHT, TEX_SHADOW};
    for (int i = 0; i < TEX_FRAME_STRIPS; i++) {
        // A strip whose region could not be made is left as the system drew it.
        if (!regions[i])
            continue;
        SelectClipRgn(dc, regions[i]);
        texture.TexMap(dc, 0, 0, strips[i], variants[i], SRCCOPY);
    }

    SelectClipRgn(dc, NULL);
    if (previous)
        SelectPalette(dc, previous, FALSE);
    ReleaseDC(hDlg, dc);
    return 0;
}

LRESULT TexDlg::Realize(int moved)
{
    HPALETTE palette = texture.Palette();
    HDC dc = palette ? GetDC(hDlg) : NULL;
    if (!dc)
        return FALSE;
    // A display without a palette has no colours to take: the page realizes
    // nothing and says so, and the system tells no other window that the
    // palette is changing.
    int realize = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
    if (realize) {
        HPALETTE previous = SelectPalette(dc, palette, FALSE);
        int changed = (int)RealizePalette(dc);   // GDI_ERROR is -1
        SelectPalette(dc, previous, FALSE);
        moved |= changed > 0;
    }
    ReleaseDC(hDlg, dc);
    if (realize && moved) {
        texture.Refresh(hResInstance, texName);
        for (HWND child = GetWindow(hDlg, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            SendMessageA(child, WM_PALETTECHANGED, (WPARAM)hDlg, 0);
        RedrawWindow(hDlg, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    return realize;
}

void TexDlg::CalcRegions(const RECT &window)
{
    const int w = window.right - window.left, h = window.bottom - window.top;
    RECT client;
    GetClientRect(hDlg, &client);
    const int t = (w - client.right) / 2;
    frameThickness = t;

    const POINT shapes[TEX_FRAME_STRIPS][4] = {
        {{0, 0}, {t, t}, {w - t, t}, {w, 0}},                 // top
        {{0, h}, {w, h}, {w - t, h - t}, {t, h - t}},         // bottom
        {{0, 0}, {t, t}, {t, h - t}, {0, h}},                 // left
        {{w, 0}, {w, h}, {w - t, h - t}, {w - t, t}}};        // right
    for (int i = 0; i < TEX_FRAME_STRIPS; i++) {
        if (regions[i])
            DeleteObject(regions[i]);
        regions[i] = CreatePolygonRgn(shapes[i], 4, ALTERNATE);
    }
}

int SetDlgDIBTex(HWND dialog, DIBTex *texture)
{
    if (!IsWindow(dialog))
        return 0;
    HGLOBAL old = (HGLOBAL)GetPropA(dialog, TEXDLG_TEXTURE_PROP);
    if (old && GlobalLock(old)) {
        GlobalUnlock(old);
        GlobalFree(old);
    }
    if (!texture) {
        RemovePropA(dialog, TEXDLG_TEXTURE_PROP);
        return 1;
    }

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DIBTex *));
    DIBTex **slot = block ? (DIBTex **)GlobalLock(block) : NULL;
    if (!slot) {
        if (block)
            GlobalFree(block);
        // The old block is gone: no property may keep pointing at it.
        RemovePropA(dialog, TEXDLG_TEXTURE_PROP);
        return 0;
    }
    *slot = texture;
    GlobalUnlock(block);
    if (!SetPropA(dialog, TEXDLG_TEXTURE_PROP, block)) {
        GlobalFree(block);
        RemovePropA(dialog, TEXDLG_TEXTURE_PROP);
        return 0;
    }
    return 1;
}

DIBTex *DlgTexture(void *hDlg)
{
    HWND dialog = (HWND)hDlg;
    if (!IsWindow(dialog))
        return NULL;
    HGLOBAL block = (HGLOBAL)GetPropA(dialog, TEXDLG_TEXTURE_PROP);
    if (!block)
        return NULL;
    DIBTex **slot = (DIBTex **)GlobalLock(block);
    if (!slot)
        return NULL;
    DIBTex *texture = *slot;
    GlobalUnlock(block);
    return texture;
}

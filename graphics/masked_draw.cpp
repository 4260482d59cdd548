#include "graphics/masked_draw.h"

int DrawMasked(HDC dc, int x, int y, int w, int h, int sx, HBITMAP mask, HBITMAP picture,
               MaskedUnderlay underlay, void *owner, int arg)
{
    HDC mem = CreateCompatibleDC(dc);
    if (!mem)
        return 0;
    // The mask's bits become dc's colours on the way: 0 text, 1 background.
    COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    HGDIOBJ old = SelectObject(mem, mask);
    if (underlay)
        underlay(owner, dc, mem, x, y, arg);
    BitBlt(dc, x, y, w, h, mem, sx, 0, SRCAND);
    SelectObject(mem, picture);
    BitBlt(dc, x, y, w, h, mem, sx, 0, SRCPAINT);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
    SelectObject(mem, old);
    DeleteDC(mem);
    return 1;
}

HBITMAP MakeKeyMask(HDC screen, HBITMAP picture, int w, int h, COLORREF key)
{
    HBITMAP mask = NULL;
    HDC pictureDC = CreateCompatibleDC(screen);
    HDC maskDC = CreateCompatibleDC(screen);
    if (pictureDC && maskDC) {
        HGDIOBJ oldPicture = SelectObject(pictureDC, picture);
        // A fresh memory DC holds a monochrome bitmap, so this is one too.
        mask = CreateCompatibleBitmap(maskDC, w, h);
        if (mask) {
            HGDIOBJ oldMask = SelectObject(maskDC, mask);
            COLORREF oldBk = SetBkColor(pictureDC, key);
            BitBlt(maskDC, 0, 0, w, h, pictureDC, 0, 0, SRCCOPY);
            SetBkColor(pictureDC, oldBk);
            // Mask 1 arrives as black, 0 as white: key pixels turn black.
            oldBk = SetBkColor(pictureDC, RGB(0, 0, 0));
            COLORREF oldText = SetTextColor(pictureDC, RGB(255, 255, 255));
            BitBlt(pictureDC, 0, 0, w, h, maskDC, 0, 0, SRCAND);
            SetBkColor(pictureDC, oldBk);
            SetTextColor(pictureDC, oldText);
            SelectObject(maskDC, oldMask);
        }
        SelectObject(pictureDC, oldPicture);
    }
    if (pictureDC)
        DeleteDC(pictureDC);
    if (maskDC)
        DeleteDC(maskDC);
    return mask;
}

namespace {

HBITMAP LoadPicture(HINSTANCE instance, LPCSTR name, BitmapLoader loader)
{
    return loader ? loader(instance, name) : LoadBitmapA(instance, name);
}

} // namespace

int LoadMaskedPicture(HINSTANCE instance, LPCSTR name, LPCSTR maskName, COLORREF key, int frames,
                      BitmapLoader loader, BITMAP &bm, HBITMAP &picture, HBITMAP &mask)
{
    HBITMAP strip = LoadPicture(instance, name, loader);
    if (!strip)
        return 0;
    ZeroMemory(&bm, sizeof bm);
    HBITMAP stripMask = NULL;
    if (GetObjectA(strip, sizeof bm, &bm) && bm.bmWidth / frames >= 1 && bm.bmHeight >= 1) {
        // Every display takes the mask path: BitBlt itself knows no key colour.
        stripMask = maskName ? LoadPicture(instance, maskName, loader)
                             : MakeKeyMask(NULL, strip, bm.bmWidth, bm.bmHeight, key);
    }
    if (!stripMask) {
        DeleteObject(strip);
        return 0;
    }
    picture = strip;
    mask = stripMask;
    return 1;
}

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

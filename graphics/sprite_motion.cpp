#include "graphics/sprite_motion.h"

namespace {

int Abs(int v) { return v < 0 ? -v : v; }
int Min(int a, int b) { return a < b ? a : b; }

} // namespace

int MoveSprite(HDC dc, HBITMAP picture, int x, int y, int w, int h, int margin,
               SpriteTrail &trail, MotionDraw draw, void *owner, int arg)
{
    const int lastX = trail.lastX, lastY = trail.lastY;
    HBITMAP saved = trail.saved;
    HDC work = CreateCompatibleDC(dc);
    if (!work)
        return 0;
    int left = x, top = y, width = w + margin, height = h + margin;
    if (saved) {
        left = Min(x, lastX);
        top = Min(y, lastY);
        width += Abs(lastX - x);
        height += Abs(lastY - y);
    }
    // The work bitmap takes the picture's colour format.
    HGDIOBJ oldWork = SelectObject(work, picture);
    HBITMAP area = CreateCompatibleBitmap(work, width, height);
    HDC save = area ? CreateCompatibleDC(dc) : NULL;
    HBITMAP background = saved ? saved : (save ? CreateCompatibleBitmap(work, w, h) : NULL);
    if (!area || !save || !background) {
        SelectObject(work, oldWork);
        DeleteDC(work);
        if (save)
            DeleteDC(save);
        if (area)
            DeleteObject(area);
        return 0;
    }
    SelectObject(work, area);
    BitBlt(work, 0, 0, width, height, dc, left, top, SRCCOPY);

    HGDIOBJ oldSave = SelectObject(save, background);
    if (saved)
        BitBlt(work, lastX - left, lastY - top, w, h, save, 0, 0, SRCCOPY);
    trail.saved = background;
    BitBlt(save, 0, 0, w, h, work, x - left, y - top, SRCCOPY);
    trail.lastX = x;
    trail.lastY = y;
    SelectObject(save, oldSave);
    DeleteDC(save);

    draw(owner, work, x - left, y - top, arg);
    BitBlt(dc, left, top, width, height, work, 0, 0, SRCCOPY);

    SelectObject(work, oldWork);
    DeleteDC(work);
    DeleteObject(area);
    return 1;
}

int EndSpriteMotion(HDC dc, int restore, int w, int h, SpriteTrail &trail)
{
    HBITMAP saved = trail.saved;
    if (restore && saved && dc) {
        HDC mem = CreateCompatibleDC(dc);
        if (mem) {
            HGDIOBJ old = SelectObject(mem, saved);
            BitBlt(dc, trail.lastX, trail.lastY, w, h, mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteDC(mem);
        }
    }
    if (saved)
        DeleteObject(saved);
    trail.saved = NULL;
    return 1;
}

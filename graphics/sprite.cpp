#include "graphics/sprite.h"


namespace {

const DWORD kMonoTextBlack = RGB(0, 0, 0);
const DWORD kMonoBackWhite = RGB(255, 255, 255);

int Abs(int v) { return v < 0 ? -v : v; }
int Min(int a, int b) { return a < b ? a : b; }

} // namespace

Sprite::Sprite()
    : image(NULL), mask(NULL), frames(0), lastX(0), lastY(0), saved(NULL)
{
    ZeroMemory(&info, sizeof info);
}

Sprite::~Sprite()
{
    Unload();
}

void Sprite::Unload()
{
    if (image)
        DeleteObject(image);
    if (mask)
        DeleteObject(mask);
    if (saved)
        DeleteObject(saved);
    image = mask = saved = NULL;
}

int Sprite::Load(HINSTANCE instance, LPCSTR name, LPCSTR maskName, COLORREF key, int frameCount,
                 BitmapLoader loader)
{
    if (image || frameCount < 1)
        return image ? 1 : 0;
    HBITMAP strip = loader ? loader(instance, name) : LoadBitmapA(instance, name);
    if (!strip)
        return 0;
    BITMAP bm;
    ZeroMemory(&bm, sizeof bm);
    if (!GetObjectA(strip, sizeof bm, &bm) || bm.bmWidth / frameCount < 1 || bm.bmHeight < 1) {
        DeleteObject(strip);
        return 0;
    }
    const int stripWidth = bm.bmWidth;
    const int h = bm.bmHeight;
    HBITMAP stripMask = NULL;

    // Every display takes the mask path: BitBlt itself knows no key colour.
    if (maskName) {
        stripMask = loader ? loader(instance, maskName) : LoadBitmapA(instance, maskName);
    } else {
        HDC screen = GetDC(NULL);
        HDC picture = CreateCompatibleDC(screen);
        HDC maskDC = CreateCompatibleDC(screen);
        if (picture && maskDC) {
            HGDIOBJ oldPicture = SelectObject(picture, strip);
            // A fresh memory DC holds a monochrome bitmap, so this is one too.
            stripMask = CreateCompatibleBitmap(maskDC, stripWidth, h);
            if (stripMask) {
                HGDIOBJ oldMask = SelectObject(maskDC, stripMask);
                COLORREF oldBk = SetBkColor(picture, key);
                BitBlt(maskDC, 0, 0, stripWidth, h, picture, 0, 0, SRCCOPY);
                SetBkColor(picture, oldBk);
                // Mask 1 arrives as black, 0 as white: key pixels turn black.
                oldBk = SetBkColor(picture, kMonoTextBlack);
                COLORREF oldText = SetTextColor(picture, kMonoBackWhite);
                BitBlt(picture, 0, 0, stripWidth, h, maskDC, 0, 0, SRCAND);
                SetBkColor(picture, oldBk);
                SetTextColor(picture, oldText);
                SelectObject(maskDC, oldMask);
            }
            SelectObject(picture, oldPicture);
        }
        if (picture)
            DeleteDC(picture);
        if (maskDC)
            DeleteDC(maskDC);
        if (screen)
            ReleaseDC(NULL, screen);
    }
    if (!stripMask) {
        DeleteObject(strip);
        return 0;
    }

    image = strip;
    mask = stripMask;
    info = bm;
    info.bmWidth = stripWidth / frameCount;
    frames = frameCount;
    saved = NULL;
    lastX = lastY = 0;
    return 1;
}

int Sprite::Draw(HDC dc, int x, int y, int frame)
{
    if (!image || !dc || frame < 0 || frame >= frames)
        return 0;
    const int w = info.bmWidth, h = info.bmHeight;
    const int sx = frame * w;
    HDC mem = CreateCompatibleDC(dc);
    if (!mem)
        return 0;
    // The mask's bits become dc's colours on the way: 0 text, 1 background.
    COLORREF oldText = SetTextColor(dc, kMonoTextBlack);
    COLORREF oldBk = SetBkColor(dc, kMonoBackWhite);
    HGDIOBJ old = SelectObject(mem, mask);
    BitBlt(dc, x, y, w, h, mem, sx, 0, SRCAND);
    SelectObject(mem, image);
    BitBlt(dc, x, y, w, h, mem, sx, 0, SRCPAINT);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
    SelectObject(mem, old);
    DeleteDC(mem);
    return 1;
}

int Sprite::Animate(HDC dc, int x, int y, int frame)
{
    if (!image || !dc || frame < 0 || frame >= frames)
        return 0;
    const int w = info.bmWidth, h = info.bmHeight;
    HDC work = CreateCompatibleDC(dc);
    if (!work)
        return 0;
    int left = x, top = y, width = w, height = h;
    if (saved) {
        left = Min(x, lastX);
        top = Min(y, lastY);
        width = Abs(lastX - x) + w;
        height = Abs(lastY - y) + h;
    }
    // The work bitmap takes the picture's colour format.
    HGDIOBJ oldWork = SelectObject(work, image);
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
    saved = background;
    BitBlt(save, 0, 0, w, h, work, x - left, y - top, SRCCOPY);
    lastX = x;
    lastY = y;
    SelectObject(save, oldSave);
    DeleteDC(save);

    Draw(work, x - left, y - top, frame);
    BitBlt(dc, left, top, width, height, work, 0, 0, SRCCOPY);

    SelectObject(work, oldWork);
    DeleteDC(work);
    DeleteObject(area);
    return 1;
}

int Sprite::AnimateDone(HDC dc, int restore)
{
    if (restore && saved && dc) {
        HDC mem = CreateCompatibleDC(dc);
        if (mem) {
            HGDIOBJ old = SelectObject(mem, saved);
            BitBlt(dc, lastX, lastY, info.bmWidth, info.bmHeight, mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteDC(mem);
        }
    }
    if (saved)
        DeleteObject(saved);
    saved = NULL;
    return 1;
}

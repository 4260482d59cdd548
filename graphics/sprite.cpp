#include "graphics/sprite.h"
#include "graphics/masked_draw.h"
#include "graphics/sprite_motion.h"


namespace {

const DWORD kMonoTextBlack = RGB(0, 0, 0);
const DWORD kMonoBackWhite = RGB(255, 255, 255);

// A moving sprite draws through Draw, which a derived sprite may replace.
int DrawFrame(void *sprite, HDC dc, int x, int y, int frame)
{
    return static_cast<Sprite *>(sprite)->Draw(dc, x, y, frame);
}

} // namespace

Sprite::Sprite()
    : image(NULL), mask(NULL), frames(0), lastX(0), lastY(0), saved(NULL)
{
    ZeroMemory(&info, sizeof info);
}

Sprite::~Sprite()
{
    if (image)
        DeleteObject(image);
    if (mask)
        DeleteObject(mask);
    if (saved)
        DeleteObject(saved);
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
    return DrawMasked(dc, x, y, info.bmWidth, info.bmHeight, frame * info.bmWidth, mask, image,
                      NULL, NULL, 0);
}

int Sprite::Animate(HDC dc, int x, int y, int frame)
{
    if (!image || !dc || frame < 0 || frame >= frames)
        return 0;
    return MoveSprite(dc, image, x, y, info.bmWidth, info.bmHeight, 0, lastX, lastY, saved,
                      DrawFrame, this, frame);
}

int Sprite::AnimateDone(HDC dc, int restore)
{
    return EndSpriteMotion(dc, restore, lastX, lastY, info.bmWidth, info.bmHeight, saved);
}

#include "graphics/sprite.h"
#include "graphics/masked_draw.h"
#include "graphics/sprite_motion.h"


namespace {

// A moving sprite draws through Draw, which a derived sprite may replace.
int DrawFrame(void *sprite, HDC dc, int x, int y, int frame)
{
    return static_cast<Sprite *>(sprite)->Draw(dc, x, y, frame);
}

} // namespace

Sprite::Sprite()
    : image(NULL), mask(NULL), frames(0), trail()
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
    if (trail.saved)
        DeleteObject(trail.saved);
    image = mask = trail.saved = NULL;
}

int Sprite::Load(HINSTANCE instance, LPCSTR name, LPCSTR maskName, COLORREF key, int frameCount,
                 BitmapLoader loader)
{
    if (image || frameCount < 1)
        return image ? 1 : 0;
    BITMAP bm;
    if (!LoadMaskedPicture(instance, name, maskName, key, frameCount, loader, bm, image, mask))
        return 0;
    info = bm;
    info.bmWidth = bm.bmWidth / frameCount;
    frames = frameCount;
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
    return MoveSprite(dc, image, x, y, info.bmWidth, info.bmHeight, 0, trail,
                      DrawFrame, this, frame);
}

int Sprite::AnimateDone(HDC dc, int restore)
{
    return EndSpriteMotion(dc, restore, info.bmWidth, info.bmHeight, trail);
}

#include "graphics/shadow_sprite.h"
#include "graphics/dib_tex.h"
#include "graphics/masked_draw.h"
#include "graphics/sprite_motion.h"


namespace {

// A moving sprite draws through Draw, which a derived sprite may replace.
int DrawWithShadow(void *sprite, HDC dc, int x, int y, int d)
{
    return static_cast<ShadowSprite *>(sprite)->Draw(dc, x, y, d);
}

} // namespace

ShadowSprite::ShadowSprite()
    : image(NULL), mask(NULL), depth(0), source(NULL), sourceArg(NULL), texX(0), texY(0),
      trail()
{
    ZeroMemory(&info, sizeof info);
}

ShadowSprite::~ShadowSprite()
{
    Unload();
}

void ShadowSprite::Unload()
{
    if (image)
        DeleteObject(image);
    if (mask)
        DeleteObject(mask);
    if (trail.saved)
        DeleteObject(trail.saved);
    image = mask = trail.saved = NULL;
}

int ShadowSprite::Load(HINSTANCE instance, LPCSTR name, COLORREF key, int shadowDepth,
                       BitmapLoader loader)
{
    if (image)
        return 1;
    BITMAP bm;
    if (!LoadMaskedPicture(instance, name, NULL, key, 1, loader, bm, image, mask))
        return 0;
    info = bm;
    depth = shadowDepth;
    return 1;
}

int ShadowSprite::ShadowTexture(TextureSource textureSource, void *arg, int xOffset, int yOffset)
{
    source = textureSource;
    sourceArg = arg;
    texX = xOffset;
    texY = yOffset;
    return source != NULL;
}

int ShadowSprite::Draw(HDC dc, int x, int y, int d)
{
    if (!image || !dc)
        return 0;
    return DrawMasked(dc, x, y, info.bmWidth, info.bmHeight, 0, mask, image, DrawShadow, this, d);
}

void ShadowSprite::DrawShadow(void *owner, HDC dc, HDC mem, int x, int y, int d)
{
    ShadowSprite *sprite = static_cast<ShadowSprite *>(owner);
    const int w = sprite->info.bmWidth, h = sprite->info.bmHeight;
    BitBlt(dc, x + d, y + d, w, h, mem, 0, 0, SRCAND);

    DIBTex *texture = sprite->source ? sprite->source(sprite->sourceArg) : NULL;
    if (!texture)
        return;
    HDC screen = GetDC(NULL);
    HBITMAP fill = screen ? CreateCompatibleBitmap(screen, w, h) : NULL;
    HDC fillDC = fill ? CreateCompatibleDC(mem) : NULL;
    if (fillDC) {
        HGDIOBJ oldFill = SelectObject(fillDC, fill);
        SetTextColor(fillDC, RGB(0, 0, 0));
        SetBkColor(fillDC, RGB(255, 255, 255));
        // White inside the silhouette, black outside ...
        BitBlt(fillDC, 0, 0, w, h, mem, 0, 0, NOTSRCCOPY);
        // ... then the shadow texture inside it.
        RECT all = {0, 0, w, h};
        int drawn = texture->TexMap(fillDC, sprite->texX + sprite->depth,
                                    sprite->texY + sprite->depth, all, TEX_SHADOW, SRCAND);
        SelectObject(fillDC, oldFill);
        DeleteDC(fillDC);
        // An empty texture would leave the silhouette white: keep it black.
        if (drawn) {
            SelectObject(mem, fill);
            BitBlt(dc, x + d, y + d, w, h, mem, 0, 0, SRCPAINT);
            SelectObject(mem, sprite->mask);
        }
    }
    if (fill)
        DeleteObject(fill);
    if (screen)
        ReleaseDC(NULL, screen);
}

int ShadowSprite::Animate(HDC dc, int x, int y, int d)
{
    if (!image || !dc)
        return 0;
    return MoveSprite(dc, image, x, y, info.bmWidth, info.bmHeight, depth, trail,
                      DrawWithShadow, this, d);
}

int ShadowSprite::AnimateDone(HDC dc, int restore)
{
    return EndSpriteMotion(dc, restore, info.bmWidth, info.bmHeight, trail);
}

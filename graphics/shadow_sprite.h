// ShadowSprite: a picture with a transparent key colour drawn together
// with a drop shadow filled from the shadow variant of a texture (black
// without one), moved flicker-free over a saved background.
#ifndef SETUP_GRAPHICS_SHADOW_SPRITE_H
#define SETUP_GRAPHICS_SHADOW_SPRITE_H

#include <windows.h>
#include "graphics/sprite.h"
#include "graphics/sprite_motion.h"

class DIBTex;

// Asked for the texture at every draw; may answer null.
typedef DIBTex *(*TextureSource)(void *arg);

class ShadowSprite {
public:
    ShadowSprite();
    virtual ~ShadowSprite();

    // 1 when the picture is loaded and prepared, 0 when it cannot be loaded.
    // A loaded sprite keeps its picture, depth included: a further Load
    // loads nothing and answers 1.
    virtual int Load(HINSTANCE instance, LPCSTR name, COLORREF key, int depth,
                     BitmapLoader loader);
    // Stores the texture source and the texture-space position of the
    // target window's client origin. 1 if source is not null.
    virtual int ShadowTexture(TextureSource source, void *arg, int xOffset, int yOffset);
    // Shadow at (x + d, y + d), picture at (x, y). 0 when empty.
    virtual int Draw(HDC dc, int x, int y, int d);
    // As Draw, restoring the background under the previous place, in one
    // transfer to dc. 0 when empty or no memory context can be made.
    virtual int Animate(HDC dc, int x, int y, int d);
    virtual int AnimateDone(HDC dc, int restore);
    // Deletes the picture, its mask and the saved background; the next
    // Load loads again (after the palette's colours have moved).
    void Unload();

    int Width() const { return info.bmWidth; }
    int Height() const { return info.bmHeight; }
    int Depth() const { return depth; }
    int IsLoaded() const { return image != NULL; }

private:
    ShadowSprite(const ShadowSprite &);
    ShadowSprite &operator=(const ShadowSprite &);

    // Draw's underlay (MaskedUnderlay): the shadow at (x + d, y + d),
    // filled from the texture when there is one.
    static void DrawShadow(void *owner, HDC dc, HDC mem, int x, int y, int d);

    HBITMAP image;          // owned; transparent pixels black after loading
    HBITMAP mask;           // owned, monochrome: 1 transparent, 0 opaque
    BITMAP info;
    int depth;              // D: shadow offset and redraw-area margin
    TextureSource source;   // null when there is none
    void *sourceArg;
    int texX, texY;         // texture-space position of the client origin
    SpriteTrail trail;      // last place; owns the background under it
};

#endif

// Sprite: a strip of equally wide frames with a transparent key colour,
// drawn frame by frame over whatever a device context shows, keeping the
// background under the last frame so the next one replaces it flicker-free.
#ifndef SETUP_GRAPHICS_SPRITE_H
#define SETUP_GRAPHICS_SPRITE_H

#include <windows.h>
#include "graphics/masked_draw.h"
#include "graphics/sprite_motion.h"

class Sprite {
public:
    Sprite();
    virtual ~Sprite();

    // 1 when ready, 0 when the strip cannot be loaded (the sprite stays
    // empty). maskName may be null: the mask is then made from `key`.
    // A loaded sprite keeps its picture: a further Load loads nothing and
    // answers 1.
    virtual int Load(HINSTANCE instance, LPCSTR name, LPCSTR maskName, COLORREF key,
                     int frames, BitmapLoader loader);
    // One frame at (x, y), transparent parts untouched. 0 when empty or
    // the frame does not exist.
    virtual int Draw(HDC dc, int x, int y, int frame);
    // Frame at (x, y), restoring the background under the previous one, in
    // one transfer to dc. 0 when empty or no memory context can be made.
    virtual int Animate(HDC dc, int x, int y, int frame);
    // Optionally puts the saved background back, then forgets it.
    virtual int AnimateDone(HDC dc, int restore);
    // Deletes the picture, its mask and the saved background: the sprite
    // is empty, and the next Load loads again. Device bitmaps keep the
    // system-palette indices they were made with; after the colours have
    // moved, a picture is loaded afresh.
    void Unload();

    int FrameWidth() const { return info.bmWidth; }
    int FrameHeight() const { return info.bmHeight; }
    int IsLoaded() const { return image != NULL; }

private:
    Sprite(const Sprite &);
    Sprite &operator=(const Sprite &);

    HBITMAP image;        // owned; transparent pixels black
    HBITMAP mask;         // owned, monochrome: 1 transparent, 0 opaque
    BITMAP info;          // of the image; bmWidth is the frame width once loaded
    int frames;           // frame count; frames outside it are not drawn
    SpriteTrail trail;    // last place; owns the background under it
};

#endif

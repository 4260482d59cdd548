// Drawing a picture through its monochrome mask, transparent parts left as
// they are, and loading a picture with that mask: what Sprite and
// ShadowSprite share for it.
#ifndef SETUP_GRAPHICS_MASKED_DRAW_H
#define SETUP_GRAPHICS_MASKED_DRAW_H

#include <windows.h>

// Loads a bitmap by name from a module; null when it cannot.
typedef HBITMAP (*BitmapLoader)(HINSTANCE instance, LPCSTR name);

// Draws beneath the picture of owner placed at (x, y) in dc; arg is the
// owner's own drawing argument. It is called with the mask selected in mem
// and dc turning the mask's bits into black (0) and white (1), and leaves
// them so.
typedef void (*MaskedUnderlay)(void *owner, HDC dc, HDC mem, int x, int y, int arg);

// Draws the w x h part of picture that starts at (sx, 0) at (x, y) in dc
// where mask (1 transparent, 0 opaque; the picture black there) says so;
// underlay, when not null, first draws beneath it. 0 when no memory
// context can be made.
int DrawMasked(HDC dc, int x, int y, int w, int h, int sx, HBITMAP mask, HBITMAP picture,
               MaskedUnderlay underlay, void *owner, int arg);

// Makes the monochrome mask of a w x h picture, 1 where it has the key
// colour and 0 elsewhere, and turns the key-coloured pixels of the picture
// black, as DrawMasked wants them. Works in memory contexts compatible with
// screen (with the screen when it is null). Null, the picture untouched,
// when a context or the mask cannot be made.
HBITMAP MakeKeyMask(HDC screen, HBITMAP picture, int w, int h, COLORREF key);

// Loads the picture `name` (through loader, or LoadBitmapA when it is null)
// with its mask: the bitmap maskName when that is not null, else one made
// from the key colour (MakeKeyMask, in contexts compatible with the screen).
// 1 with picture, mask and bm (the picture's BITMAP) set when the picture
// is at least `frames` pixels wide and 1 high and both bitmaps exist; else
// 0 with nothing set and nothing left over.
int LoadMaskedPicture(HINSTANCE instance, LPCSTR name, LPCSTR maskName, COLORREF key, int frames,
                      BitmapLoader loader, BITMAP &bm, HBITMAP &picture, HBITMAP &mask);

#endif

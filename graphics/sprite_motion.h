// Moving a picture flicker-free over a device context: what Sprite and
// ShadowSprite share. The background under the picture's last place is
// kept in a bitmap; a move puts it back, saves what lies under the new
// place, draws the picture there and shows the whole area in one transfer.
#ifndef SETUP_GRAPHICS_SPRITE_MOTION_H
#define SETUP_GRAPHICS_SPRITE_MOTION_H

#include <windows.h>

// The caller's record of a moving picture: its last place and the
// background under it (saved null before the first move; the caller owns
// it).
struct SpriteTrail {
    int lastX, lastY;
    HBITMAP saved;
};

// Draws the picture of owner at (x, y) in dc; arg is the owner's own
// drawing argument (a frame, a shadow offset).
typedef int (*MotionDraw)(void *owner, HDC dc, int x, int y, int arg);

// Moves a w x h picture to (x, y) in dc, its trail recording the move.
// draw is called on a
// memory copy of the area the old and the new place cover, widened right
// and down by margin. picture only lends its colour format to the work
// bitmaps. 0, with dc and the record untouched, when a memory context or
// bitmap cannot be made.
int MoveSprite(HDC dc, HBITMAP picture, int x, int y, int w, int h, int margin,
               SpriteTrail &trail, MotionDraw draw, void *owner, int arg);

// Ends a motion: when restore is set and dc is not null, puts the saved
// w x h background back at its last place; then deletes it. Always 1.
int EndSpriteMotion(HDC dc, int restore, int w, int h, SpriteTrail &trail);

#endif

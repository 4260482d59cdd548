// Moving a picture flicker-free over a device context: what Sprite and
// ShadowSprite share. The background under the picture's last place is
// kept in a bitmap; a move puts it back, saves what lies under the new
// place, draws the picture there and shows the whole area in one transfer.
#ifndef SETUP_GRAPHICS_SPRITE_MOTION_H
#define SETUP_GRAPHICS_SPRITE_MOTION_H

#include <windows.h>

// Draws the picture of owner at (x, y) in dc; arg is the owner's own
// drawing argument (a frame, a shadow offset).
typedef int (*MotionDraw)(void *owner, HDC dc, int x, int y, int arg);

// Moves a w x h picture to (x, y) in dc. lastX, lastY and saved are the
// caller's record of the last place and of the background under it (saved
// null before the first move; the caller owns it). draw is called on a
// memory copy of the area the old and the new place cover, widened right
// and down by margin. picture only lends its colour format to the work
// bitmaps. 0, with dc and the record untouched, when a memory context or
// bitmap cannot be made.
int MoveSprite(HDC dc, HBITMAP picture, int x, int y, int w, int h, int margin,
               int &lastX, int &lastY, HBITMAP &saved, MotionDraw draw, void *owner, int arg);

// Ends a motion: when restore is set and dc is not null, puts the saved
// w x h background back at (lastX, lastY); then deletes it. Always 1.
int EndSpriteMotion(HDC dc, int restore, int lastX, int lastY, int w, int h, HBITMAP &saved);

#endif

// Test pictures for the sprite-based controls, in a throw-away resource
// module: a two-frame button strip, a shadow-button face, a six-cell check
// mark strip and a texture, each with a function giving its exact colours.
#ifndef TESTS_SUPPORT_GFX_ART_H
#define TESTS_SUPPORT_GFX_ART_H

#include <windows.h>
#include <vector>

#include "tests/support/gfx_dib.h"
#include "tests/support/win_test.h"

namespace gfxtest {

const COLORREF kKeyMagenta = RGB(255, 0, 255);
const COLORREF kKeyWhite = RGB(255, 255, 255);

// "TBUTTON": two 80 x 86 frames on magenta corners.
enum { kButtonW = 80, kButtonH = 86 };
// "TFACE": a 54 x 32 face of upright bars on magenta.
enum { kFaceW = 54, kFaceH = 32 };
// "CHECKBOX": six 30 x 22 cells on white; cell i (1 to 5) has a block of
// 4 i x 10 pixels from (8, 6).
enum { kCellW = 30, kCellH = 22 };
// "GRADTEX": a 128 x 128 texture of TestColour / TextureIndex.

// The colour at (x, y) of frame f of the button strip, or CLR_INVALID
// where it is transparent.
COLORREF ButtonPixel(int frame, int x, int y);
COLORREF FacePixel(int x, int y);
COLORREF CellPixel(int cell, int x, int y);

// What a window's client area shows now, read through the window's own
// DC rather than the screen, which the system may update a little later.
bool CaptureClient(HWND window, wintest::Pixels &out);
COLORREF ClientColour(HWND window, int x, int y);

// A module carrying the four pictures; null on failure. Kept for the
// process's life.
HINSTANCE ArtModule();

} // namespace gfxtest

#endif

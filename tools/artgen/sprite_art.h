// The sprite strips: pictures drawn on a transparent background, one cell
// after another from left to right.
#ifndef ARTGEN_SPRITE_ART_H
#define ARTGEN_SPRITE_ART_H

#include "image.h"

// 160 x 86: a stone cube with a red '!' or '?' on its front, then the same
// picture twisted into a grey swirl and falling apart.
Image MakeMarkStrip(char mark);

// 48 x 24: a glossy red ball with its shadow, then the ball pressed down
// onto its shadow.
Image MakeBulletStrip();

// 180 x 22: a red check mark growing in five steps (cell 0 empty).
Image MakeCheckStrip();

// Bold black lettering centred on a transparent width x height picture.
Image MakeLettering(const char *text, int width, int height, double capHeight, double radius,
                    double gap);

#endif

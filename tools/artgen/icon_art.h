// The program icon: one 32 x 32 picture in the sixteen VGA colours.
#ifndef ARTGEN_ICON_ART_H
#define ARTGEN_ICON_ART_H

#include "bytes.h"
#include "image.h"

// The picture: a small stone cube with a red V, transparent around it.
Image MakeIconPicture();

// An .ico file holding the picture as its one image (4 bits per pixel,
// with the transparency mask).
Bytes MakeIconFile(const Image &picture);

#endif

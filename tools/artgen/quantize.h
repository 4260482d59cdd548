// Reducing drawn pictures to colour tables.
#ifndef ARTGEN_QUANTIZE_H
#define ARTGEN_QUANTIZE_H

#include <cstdint>
#include <vector>

#include "image.h"

// Median-cut palette of at most maxColours for the given colours (packed
// 0x00RRGGBB, repeats count as weight), ordered by brightness.
std::vector<uint32_t> MedianCut(const std::vector<uint32_t> &colours, int maxColours);

// Index of the palette entry nearest to c, never the entry `skip` (-1 for
// none).
int Nearest(const std::vector<uint32_t> &palette, uint32_t c, int skip);

// The sixteen colours of the standard VGA palette.
const std::vector<uint32_t> &VgaPalette();

// A picture in a fixed palette: transparent pixels take the entry keyIndex,
// opaque ones the nearest other entry.
void IndexFixed(const Image &img, const std::vector<uint32_t> &palette, int keyIndex,
                std::vector<uint8_t> &indices);

#endif

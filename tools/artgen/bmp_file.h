// Uncompressed bottom-up Windows bitmaps (BITMAPINFOHEADER, 40 bytes) with
// a full colour table.
#ifndef ARTGEN_BMP_FILE_H
#define ARTGEN_BMP_FILE_H

#include <cstdint>
#include <vector>

#include "bytes.h"

// bits is 4 or 8; palette holds 2^bits colours packed 0x00RRGGBB; indices
// holds width * height colour-table indices, top row first.
Bytes MakeBmp(int width, int height, int bits, const std::vector<uint32_t> &palette,
              const std::vector<uint8_t> &indices);

// The BITMAPINFOHEADER, colour table and rows alone (no file header), as
// an icon image stores them; height is written as given.
void PutDibBody(ByteWriter &out, int width, int height, int headerHeight, int bits,
                const std::vector<uint32_t> &palette, const std::vector<uint8_t> &indices);

// The pixel rows alone, bottom row first, each padded to four bytes.
void PutDibRows(ByteWriter &out, int width, int height, int bits,
                const std::vector<uint8_t> &indices);

// Bytes per row of a DIB, padded to a multiple of four.
int DibStride(int width, int bits);

#endif

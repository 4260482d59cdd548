// The tiling textures: 128 x 128 pictures built only from functions that
// repeat every 128 pixels, so tiles meet without a seam.
#ifndef ARTGEN_TEXTURE_ART_H
#define ARTGEN_TEXTURE_ART_H

#include <cstdint>
#include <vector>

struct Texture {
    std::vector<uint32_t> palette;   // 256 colours, a dark-to-light ramp
    std::vector<uint8_t> indices;    // 128 * 128, top row first
};

const int kTextureSize = 128;

// Warm orange-yellow swirls (the page texture).
Texture MakeSwirlTexture();

// Dark blue mottled texture (the main window's background).
Texture MakeBlueTexture();

#endif

// One colour table for all the installer's 8-bit pictures: the twenty
// colours every palette display reserves (entries 0-9 and 246-255) and 236
// chosen colours between them. Both textures and every picture strip store
// this same table, so whichever window realizes its palette, the others'
// colours are already in the system palette.
#ifndef ARTGEN_SHARED_PALETTE_H
#define ARTGEN_SHARED_PALETTE_H

#include <cstdint>
#include <vector>

#include "image.h"
#include "texture_art.h"

const int kStaticColours = 20;
const int kSharedColours = 256 - kStaticColours;

// The twenty reserved colours in system-palette order.
const std::vector<uint32_t> &StaticColours();

class SharedPalette {
public:
    // Reduces each texture's 256-colour ramp to `levels` evenly spaced
    // colours (the pixels keep their place on the ramp), takes those and,
    // for the page texture, every second colour of its darkened and
    // brightened variants, then the `exact` colours (the logo's); the
    // picture strips share what is left.
    SharedPalette(Texture &page, int pageLevels, Texture &back, int backLevels,
                  const std::vector<uint32_t> &exact,
                  const std::vector<const Image *> &pictures);

    const std::vector<uint32_t> &Table() const { return table; }
    // False when the textures alone took every shared entry.
    bool Fits() const { return fits; }
    // The texture's pixels as indices into Table().
    std::vector<uint8_t> TextureIndices(const Texture &t) const;
    // A keyed picture in Table(): transparent pixels take the key's entry,
    // opaque ones the nearest other entry. False when the key is not one
    // of the reserved colours.
    bool IndexPicture(const Image &img, uint32_t key, std::vector<uint8_t> &indices) const;

private:
    std::vector<uint32_t> table;
    std::vector<uint32_t> pictureColours;   // the reserved ones and the pictures' own
    bool fits;
};

#endif

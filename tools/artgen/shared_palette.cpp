#include "shared_palette.h"

#include <algorithm>

#include "quantize.h"

namespace {

// The darkened and brightened colour tables the installer derives from a
// texture at run time (shadow: c - 60, highlight: c + c / 2 + 40).
uint32_t Shadow(uint32_t c)
{
    uint32_t out = 0;
    for (int s = 0; s < 24; s += 8) {
        int v = (int)((c >> s) & 0xFF) - 60;
        out |= (uint32_t)(v < 0 ? 0 : v) << s;
    }
    return out;
}

uint32_t Hilight(uint32_t c)
{
    uint32_t out = 0;
    for (int s = 0; s < 24; s += 8) {
        int v = (int)((c >> s) & 0xFF);
        v = v + v / 2 + 40;
        out |= (uint32_t)(v > 255 ? 255 : v) << s;
    }
    return out;
}

// Each ramp index moved to the nearest of `levels` evenly spaced ones.
void ReduceRamp(Texture &t, int levels)
{
    std::vector<uint32_t> ramp = t.palette;
    for (int i = 0; i < 256; ++i) {
        int level = (i * (levels - 1) + 127) / 255;
        t.palette[i] = ramp[(level * 255 + (levels - 1) / 2) / (levels - 1)];
    }
}

void AddUnique(std::vector<uint32_t> &colours, uint32_t c)
{
    if (std::find(colours.begin(), colours.end(), c) != colours.end())
        return;
    const std::vector<uint32_t> &fixed = StaticColours();
    if (std::find(fixed.begin(), fixed.end(), c) != fixed.end())
        return;
    colours.push_back(c);
}

} // namespace

const std::vector<uint32_t> &StaticColours()
{
    static const std::vector<uint32_t> colours = {
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080,
        0xC0C0C0, 0xC0DCC0, 0xA6CAF0, 0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000,
        0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
    };
    return colours;
}

SharedPalette::SharedPalette(Texture &page, int pageLevels, Texture &back, int backLevels,
                             const std::vector<uint32_t> &exact,
                             const std::vector<const Image *> &pictures)
    : fits(false)
{
    ReduceRamp(page, pageLevels);
    ReduceRamp(back, backLevels);
    std::vector<uint32_t> chosen;
    for (uint32_t c : back.palette)
        AddUnique(chosen, c);
    std::vector<uint32_t> pageLevelsUsed;
    for (uint32_t c : page.palette)
        if (std::find(pageLevelsUsed.begin(), pageLevelsUsed.end(), c) == pageLevelsUsed.end())
            pageLevelsUsed.push_back(c);
    for (uint32_t c : pageLevelsUsed)
        AddUnique(chosen, c);
    // Neighbouring levels of the variants lie a step apart: every second
    // one keeps them within half a step of an entry.
    for (size_t i = 0; i < pageLevelsUsed.size(); i += 2) {
        AddUnique(chosen, Shadow(pageLevelsUsed[i]));
        AddUnique(chosen, Hilight(pageLevelsUsed[i]));
    }
    for (uint32_t c : exact)
        AddUnique(chosen, c);

    // Every picture weighs about as much as the largest: a small one (the
    // bullet, the check mark) counts its pixels that many times over.
    std::vector<std::vector<uint32_t>> each;
    size_t largest = 1;
    for (const Image *img : pictures) {
        each.emplace_back();
        for (int y = 0; y < img->Height(); ++y)
            for (int x = 0; x < img->Width(); ++x)
                if (img->Opaque(x, y))
                    each.back().push_back(Pack(img->At(x, y)));
        largest = std::max(largest, each.back().size());
    }
    std::vector<uint32_t> opaque;
    for (const std::vector<uint32_t> &colours : each)
        for (size_t k = 0; !colours.empty() && k < largest / colours.size(); ++k)
            opaque.insert(opaque.end(), colours.begin(), colours.end());
    int room = kSharedColours - (int)chosen.size();
    fits = room > 0;
    pictureColours = StaticColours();
    if (room > 0)
        for (uint32_t c : MedianCut(opaque, room)) {
            AddUnique(chosen, c);
            pictureColours.push_back(c);
        }
    chosen.resize(std::min<size_t>(chosen.size(), kSharedColours), 0);
    while ((int)chosen.size() < kSharedColours)
        chosen.push_back(0);

    const std::vector<uint32_t> &fixed = StaticColours();
    table.assign(fixed.begin(), fixed.begin() + 10);
    table.insert(table.end(), chosen.begin(), chosen.end());
    table.insert(table.end(), fixed.begin() + 10, fixed.end());
}

std::vector<uint8_t> SharedPalette::TextureIndices(const Texture &t) const
{
    std::vector<uint8_t> out;
    out.reserve(t.indices.size());
    for (uint8_t i : t.indices)
        out.push_back((uint8_t)Nearest(table, t.palette[i], -1));
    return out;
}

bool SharedPalette::IndexPicture(const Image &img, uint32_t key,
                                 std::vector<uint8_t> &indices) const
{
    auto at = std::find(table.begin(), table.begin() + 10, key);
    int keyIndex = -1;
    if (at != table.begin() + 10)
        keyIndex = (int)(at - table.begin());
    else if ((at = std::find(table.end() - 10, table.end(), key)) != table.end())
        keyIndex = (int)(at - table.begin());
    if (keyIndex < 0)
        return false;
    // Only the pictures' own colours and the reserved ones are candidates:
    // a grey must not drift to a texture's or the logo's tinted entry.
    std::vector<uint32_t> candidates;
    for (uint32_t c : pictureColours)
        if (c != key)
            candidates.push_back(c);
    indices.assign((size_t)img.Width() * img.Height(), (uint8_t)keyIndex);
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x)
            if (img.Opaque(x, y)) {
                uint32_t c = candidates[Nearest(candidates, Pack(img.At(x, y)), -1)];
                int entry = (int)(std::find(table.begin(), table.end(), c) - table.begin());
                indices[(size_t)y * img.Width() + x] = (uint8_t)entry;
            }
    return true;
}

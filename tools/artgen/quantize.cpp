#include "quantize.h"

#include <algorithm>
#include <map>

namespace {

struct Entry {
    int c[3];
    long count;
};

struct Box {
    std::vector<Entry> entries;
    int Range(int axis) const
    {
        int lo = 255, hi = 0;
        for (const Entry &e : entries) {
            lo = std::min(lo, e.c[axis]);
            hi = std::max(hi, e.c[axis]);
        }
        return entries.empty() ? 0 : hi - lo;
    }
    int LongestAxis(int &range) const
    {
        int best = 0;
        range = -1;
        for (int a = 0; a < 3; ++a) {
            int r = Range(a);
            if (r > range) {
                range = r;
                best = a;
            }
        }
        return best;
    }
};

int Luma(uint32_t c)
{
    return (int)(((c >> 16) & 0xFF) * 299 + ((c >> 8) & 0xFF) * 587 + (c & 0xFF) * 114);
}

long Distance(uint32_t a, uint32_t b)
{
    long dr = (long)((a >> 16) & 0xFF) - (long)((b >> 16) & 0xFF);
    long dg = (long)((a >> 8) & 0xFF) - (long)((b >> 8) & 0xFF);
    long db = (long)(a & 0xFF) - (long)(b & 0xFF);
    return dr * dr * 3 + dg * dg * 4 + db * db * 2;
}

} // namespace

std::vector<uint32_t> MedianCut(const std::vector<uint32_t> &colours, int maxColours)
{
    std::map<uint32_t, long> counts;
    for (uint32_t c : colours)
        ++counts[c];
    std::vector<Box> boxes(1);
    for (const auto &kv : counts)
        boxes[0].entries.push_back(
            Entry{{(int)((kv.first >> 16) & 0xFF), (int)((kv.first >> 8) & 0xFF),
                   (int)(kv.first & 0xFF)},
                  kv.second});
    while ((int)boxes.size() < maxColours) {
        // Split the box with the widest colour range (weighted a little by
        // how many pixels it holds).
        int pick = -1;
        double bestScore = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].entries.size() < 2)
                continue;
            int range;
            boxes[i].LongestAxis(range);
            long pixels = 0;
            for (const Entry &e : boxes[i].entries)
                pixels += e.count;
            double score = range * (1.0 + 0.02 * (double)pixels / 64.0);
            if (range > 0 && score > bestScore) {
                bestScore = score;
                pick = (int)i;
            }
        }
        if (pick < 0)
            break;
        Box &box = boxes[pick];
        int range;
        int axis = box.LongestAxis(range);
        std::sort(box.entries.begin(), box.entries.end(), [axis](const Entry &a, const Entry &b) {
            if (a.c[axis] != b.c[axis])
                return a.c[axis] < b.c[axis];
            for (int k = 0; k < 3; ++k)
                if (a.c[k] != b.c[k])
                    return a.c[k] < b.c[k];
            return false;
        });
        long total = 0;
        for (const Entry &e : box.entries)
            total += e.count;
        long half = 0;
        size_t cut = 1;
        for (size_t i = 0; i + 1 < box.entries.size(); ++i) {
            half += box.entries[i].count;
            cut = i + 1;
            if (half * 2 >= total)
                break;
        }
        Box upper;
        upper.entries.assign(box.entries.begin() + (long)cut, box.entries.end());
        box.entries.resize(cut);
        boxes.push_back(upper);
    }
    std::vector<uint32_t> palette;
    for (const Box &b : boxes) {
        double sum[3] = {0, 0, 0};
        long n = 0;
        for (const Entry &e : b.entries) {
            for (int k = 0; k < 3; ++k)
                sum[k] += (double)e.c[k] * e.count;
            n += e.count;
        }
        if (n == 0)
            continue;
        palette.push_back(Pack(Rgb{sum[0] / n, sum[1] / n, sum[2] / n}));
    }
    std::sort(palette.begin(), palette.end(), [](uint32_t a, uint32_t b) {
        int la = Luma(a), lb = Luma(b);
        return la != lb ? la < lb : a < b;
    });
    palette.erase(std::unique(palette.begin(), palette.end()), palette.end());
    return palette;
}

int Nearest(const std::vector<uint32_t> &palette, uint32_t c, int skip)
{
    int best = -1;
    long bestDist = 0;
    for (size_t i = 0; i < palette.size(); ++i) {
        if ((int)i == skip)
            continue;
        long d = Distance(palette[i], c);
        if (best < 0 || d < bestDist) {
            best = (int)i;
            bestDist = d;
        }
    }
    return best;
}

const std::vector<uint32_t> &VgaPalette()
{
    static const std::vector<uint32_t> vga = {
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
        0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
    };
    return vga;
}

void IndexFixed(const Image &img, const std::vector<uint32_t> &palette, int keyIndex,
                std::vector<uint8_t> &indices)
{
    indices.assign((size_t)img.Width() * img.Height(), (uint8_t)keyIndex);
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x)
            if (img.Opaque(x, y))
                indices[(size_t)y * img.Width() + x] =
                    (uint8_t)Nearest(palette, Pack(img.At(x, y)), keyIndex);
}

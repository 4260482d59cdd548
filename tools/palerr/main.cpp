// palerr: maps a true-colour screenshot of a page over the main window
// through the system palette that a 256-colour display would hold while the
// page is active, and prints each region's mean colour error (mean absolute
// difference per channel, of 255).
//
// The system palette is built as the palette manager builds it: the twenty
// reserved colours, then the foreground palette's entries (an entry equal
// to a colour already there shares it, every other entry takes the next of
// the 236 free slots), then each background palette's entries into the
// slots still free. A colour that finds no slot goes to its nearest.
//
// A pixel reaches the screen in two steps: its colour goes to the nearest
// entry of the logical palette it is drawn with (the texture's table for a
// texture, the picture's table for a picture loaded through a palette, the
// twenty reserved colours for a picture loaded as a plain device bitmap),
// and that entry to the nearest colour of the system palette.
//
// Regions, told apart by the page's window rectangle and by colour:
//   backdrop   outside the page, the colours the backdrop texture's pixels
//              use (the logo and the title, and the twenty reserved
//              colours, are left out);
//   panel      inside the page, the twenty reserved colours (the grey
//              panels and their text, the frame, the buttons' lettering);
//   texture    inside the page, the colours the page texture's pixels use,
//              and their darkened and brightened forms (client area, frame
//              bevel, the buttons' shadows);
//   sprites    inside the page, the other colours the pictures' pixels use;
//   logo       outside the page, every other colour but the reserved ones
//              (the logo metafile's brushes, and the title's smoothed
//              edges);
//   other      the reserved colours outside the page (they are always
//              shown exactly) and everything else inside it (the system's
//              caption gradient): counted, not measured.
//
// usage: palerr --page-rect X,Y,W,H --back BACK.bmp --page PAGE.bmp
//               --sprite PICTURE.bmp... [--through-tables] [--logo-palette]
//               [--fg TABLE.bmp] [--bg TABLE.bmp]... [--ref REF.ppm]
//               [--map MAP.ppm] SHOT.ppm
//   --through-tables  the pictures are drawn through their own colour
//                tables (default: loaded as plain device bitmaps, so with
//                the twenty reserved colours only);
//   --logo-palette  the logo's brushes are palette colours (PALETTERGB),
//                so they take the nearest entry of the backdrop's palette
//                (default: plain colours, which a palette display dithers
//                from the reserved colours; each pixel is then taken to
//                the nearest reserved colour, the least a dither is off);
//   --fg, --bg   realized palettes (default: the page's in the foreground,
//                the backdrop's in the background);
//   --ref        also prints each region's mean difference from another
//                screenshot of the same page (how much the look changed);
//   --map        writes the regions as a picture (backdrop blue, texture
//                orange, panel grey, sprites red, logo green, other black).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

typedef uint32_t Colour;   // 0x00RRGGBB

int R(Colour c) { return (int)((c >> 16) & 0xFF); }
int G(Colour c) { return (int)((c >> 8) & 0xFF); }
int B(Colour c) { return (int)(c & 0xFF); }

const Colour kStatic[20] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080,
    0xC0C0C0, 0xC0DCC0, 0xA6CAF0, 0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000,
    0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

struct Picture {
    int w = 0, h = 0;
    std::vector<Colour> px;
};

bool ReadFile(const char *path, std::vector<uint8_t> &out)
{
    FILE *f = std::fopen(path, "rb");
    if (!f)
        return false;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.insert(out.end(), buf, buf + n);
    std::fclose(f);
    return true;
}

// Binary PPM (P6, maxval 255), as `convert shot.png shot.ppm` writes it.
bool ReadPpm(const char *path, Picture &pic)
{
    std::vector<uint8_t> d;
    if (!ReadFile(path, d))
        return false;
    size_t p = 0;
    auto token = [&](std::string &t) {
        t.clear();
        while (p < d.size()) {
            if (d[p] == '#')
                while (p < d.size() && d[p] != '\n')
                    p++;
            else if (d[p] == ' ' || d[p] == '\n' || d[p] == '\r' || d[p] == '\t')
                p++;
            else
                break;
        }
        while (p < d.size() && !(d[p] == ' ' || d[p] == '\n' || d[p] == '\r' || d[p] == '\t'))
            t += (char)d[p++];
    };
    std::string magic, w, h, max;
    token(magic);
    token(w);
    token(h);
    token(max);
    p++;
    if (magic != "P6" || max != "255")
        return false;
    pic.w = std::atoi(w.c_str());
    pic.h = std::atoi(h.c_str());
    if (pic.w <= 0 || pic.h <= 0 || d.size() < p + (size_t)pic.w * pic.h * 3)
        return false;
    pic.px.resize((size_t)pic.w * pic.h);
    for (size_t i = 0; i < pic.px.size(); i++, p += 3)
        pic.px[i] = ((Colour)d[p] << 16) | ((Colour)d[p + 1] << 8) | d[p + 2];
    return true;
}

// The colour table of a .bmp file with a 40-byte header (up to 8 bits),
// and the colours its pixels use (for 8 bits; else the whole table).
bool ReadTable(const char *path, std::vector<Colour> &table, std::vector<Colour> &used)
{
    std::vector<uint8_t> d;
    if (!ReadFile(path, d) || d.size() < 54 || d[0] != 'B' || d[1] != 'M')
        return false;
    auto u32 = [&](size_t o) {
        return (uint32_t)d[o] | ((uint32_t)d[o + 1] << 8) | ((uint32_t)d[o + 2] << 16) |
               ((uint32_t)d[o + 3] << 24);
    };
    uint32_t bits = d[28] | (d[29] << 8), clrUsed = u32(46);
    if (u32(14) != 40 || bits > 8)
        return false;
    uint32_t n = clrUsed ? clrUsed : (1u << bits);
    if (d.size() < 54 + n * 4)
        return false;
    table.clear();
    for (uint32_t i = 0; i < n; i++) {
        const uint8_t *q = &d[54 + i * 4];
        table.push_back(((Colour)q[2] << 16) | ((Colour)q[1] << 8) | q[0]);
    }
    used = table;
    uint32_t offset = u32(10), w = u32(18), h = u32(22);
    size_t stride = (w + 3) & ~3u;
    if (bits == 8 && h < 65536 && offset + stride * h <= d.size()) {
        std::vector<bool> seen(n, false);
        for (uint32_t y = 0; y < h; y++)
            for (uint32_t x = 0; x < w; x++) {
                uint8_t i = d[offset + y * stride + x];
                if (i < n)
                    seen[i] = true;
            }
        used.clear();
        for (uint32_t i = 0; i < n; i++)
            if (seen[i])
                used.push_back(table[i]);
    }
    return true;
}

long Dist(Colour a, Colour b)
{
    long dr = R(a) - R(b), dg = G(a) - G(b), db = B(a) - B(b);
    return dr * dr + dg * dg + db * db;
}

Colour Nearest(const std::vector<Colour> &set, Colour c)
{
    Colour best = set[0];
    long bd = Dist(best, c);
    for (Colour s : set) {
        long d = Dist(s, c);
        if (d < bd) {
            bd = d;
            best = s;
        }
    }
    return best;
}

bool Contains(const std::vector<Colour> &set, Colour c)
{
    for (Colour s : set)
        if (s == c)
            return true;
    return false;
}

// The colours of the system palette after the realizations.
std::vector<Colour> SystemPalette(const std::vector<Colour> &fg,
                                  const std::vector<std::vector<Colour>> &bg)
{
    std::vector<Colour> sys(kStatic, kStatic + 20);
    int free = 236;
    auto realize = [&](const std::vector<Colour> &pal) {
        for (Colour c : pal)
            if (!Contains(sys, c) && free > 0) {
                sys.push_back(c);
                free--;
            }
    };
    realize(fg);
    for (const auto &p : bg)
        realize(p);
    return sys;
}

Colour Shadow(Colour c)
{
    auto f = [](int v) { return v - 60 < 0 ? 0 : v - 60; };
    return ((Colour)f(R(c)) << 16) | ((Colour)f(G(c)) << 8) | (Colour)f(B(c));
}

Colour Hilight(Colour c)
{
    auto f = [](int v) { v = v + v / 2 + 40; return v > 255 ? 255 : v; };
    return ((Colour)f(R(c)) << 16) | ((Colour)f(G(c)) << 8) | (Colour)f(B(c));
}

struct Region {
    const char *name;
    long pixels = 0;
    double error = 0, change = 0;
};

int Usage()
{
    std::fprintf(stderr,
                 "usage: palerr --page-rect X,Y,W,H --back BACK.bmp --page PAGE.bmp "
                 "--sprite PICTURE.bmp... [--through-tables] [--logo-palette] [--fg T.bmp] "
                 "[--bg T.bmp]... "
                 "[--ref REF.ppm] [--map MAP.ppm] SHOT.ppm\n");
    return 2;
}

bool WritePpm(const char *path, const Picture &pic)
{
    FILE *f = std::fopen(path, "wb");
    if (!f)
        return false;
    std::fprintf(f, "P6\n%d %d\n255\n", pic.w, pic.h);
    for (Colour c : pic.px) {
        uint8_t rgb[3] = {(uint8_t)R(c), (uint8_t)G(c), (uint8_t)B(c)};
        std::fwrite(rgb, 1, 3, f);
    }
    return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    int rx = 0, ry = 0, rw = 0, rh = 0;
    std::vector<Colour> back, backUsed, page, pageUsed, fg, pictureTables, pictureUsed;
    std::vector<std::vector<Colour>> bg;
    bool haveFg = false, haveBg = false, throughTables = false, logoPalette = false;
    const char *shotPath = NULL, *refPath = NULL, *mapPath = NULL;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        bool more = i + 1 < argc;
        std::vector<Colour> t, used;
        if (a == "--page-rect" && more) {
            if (std::sscanf(argv[++i], "%d,%d,%d,%d", &rx, &ry, &rw, &rh) != 4)
                return Usage();
        } else if ((a == "--back" || a == "--page" || a == "--fg" || a == "--bg" ||
                    a == "--sprite") && more) {
            if (!ReadTable(argv[++i], t, used)) {
                std::fprintf(stderr, "palerr: no colour table in %s\n", argv[i]);
                return 1;
            }
            if (a == "--back")
                back = t, backUsed = used;
            else if (a == "--page")
                page = t, pageUsed = used;
            else if (a == "--fg")
                fg = t, haveFg = true;
            else if (a == "--bg")
                bg.push_back(t), haveBg = true;
            else {
                pictureTables.insert(pictureTables.end(), t.begin(), t.end());
                pictureUsed.insert(pictureUsed.end(), used.begin(), used.end());
            }
        } else if (a == "--through-tables") {
            throughTables = true;
        } else if (a == "--logo-palette") {
            logoPalette = true;
        } else if (a == "--ref" && more) {
            refPath = argv[++i];
        } else if (a == "--map" && more) {
            mapPath = argv[++i];
        } else if (a[0] != '-' && !shotPath) {
            shotPath = argv[i];
        } else {
            return Usage();
        }
    }
    if (!shotPath || back.empty() || page.empty() || pictureUsed.empty() || rw <= 0 || rh <= 0)
        return Usage();
    if (!haveFg)
        fg = page;
    if (!haveBg)
        bg.push_back(back);

    Picture shot, ref;
    if (!ReadPpm(shotPath, shot) || (refPath && !ReadPpm(refPath, ref))) {
        std::fprintf(stderr, "palerr: cannot read the screenshots\n");
        return 1;
    }
    if (refPath && (ref.w != shot.w || ref.h != shot.h)) {
        std::fprintf(stderr, "palerr: the screenshots differ in size\n");
        return 1;
    }

    const std::vector<Colour> sys = SystemPalette(fg, bg);
    const std::vector<Colour> reserved(kStatic, kStatic + 20);
    std::unordered_set<Colour> reservedSet(reserved.begin(), reserved.end());
    std::unordered_set<Colour> backSet(backUsed.begin(), backUsed.end());
    std::unordered_set<Colour> pageSet, pictureSet(pictureUsed.begin(), pictureUsed.end());
    for (Colour c : pageUsed) {
        pageSet.insert(c);
        pageSet.insert(Shadow(c));
        pageSet.insert(Hilight(c));
    }
    // The pictures' own colours that are no texture's: a picture may share
    // an entry with a texture, and such pixels are counted as texture.
    const std::vector<Colour> &pictureLogical = throughTables ? pictureTables : reserved;

    const std::vector<Colour> &logoLogical = logoPalette ? back : reserved;
    Region regions[6] = {{"backdrop"}, {"texture"}, {"panel"}, {"sprites"}, {"logo"}, {"other"}};
    const Colour marks[6] = {0x2040C0, 0xF0A020, 0xC0C0C0, 0xE02020, 0x40C040, 0x000000};
    Picture map = shot;
    std::unordered_map<Colour, Colour> memo[5];
    for (int y = 0; y < shot.h; y++)
        for (int x = 0; x < shot.w; x++) {
            size_t at = (size_t)y * shot.w + x;
            Colour c = shot.px[at];
            bool inside = x >= rx && x < rx + rw && y >= ry && y < ry + rh;
            int k;
            const std::vector<Colour> *logical = NULL;
            if (!inside && reservedSet.count(c))
                k = 5;
            else if (!inside && backSet.count(c))
                k = 0, logical = &back;
            else if (!inside)
                k = 4, logical = &logoLogical;
            else if (reservedSet.count(c))
                k = 2, logical = &reserved;
            else if (pageSet.count(c))
                k = 1, logical = &page;
            else if (pictureSet.count(c))
                k = 3, logical = &pictureLogical;
            else
                k = 5;
            map.px[at] = marks[k];
            Region &r = regions[k];
            r.pixels++;
            if (k == 5)
                continue;
            auto hit = memo[k].find(c);
            Colour shown;
            if (hit != memo[k].end()) {
                shown = hit->second;
            } else {
                shown = Nearest(sys, Nearest(*logical, c));
                memo[k][c] = shown;
            }
            r.error += (std::abs(R(c) - R(shown)) + std::abs(G(c) - G(shown)) +
                        std::abs(B(c) - B(shown))) / 3.0;
            if (refPath) {
                Colour o = ref.px[at];
                r.change += (std::abs(R(c) - R(o)) + std::abs(G(c) - G(o)) +
                             std::abs(B(c) - B(o))) / 3.0;
            }
        }
    if (mapPath && !WritePpm(mapPath, map)) {
        std::fprintf(stderr, "palerr: cannot write %s\n", mapPath);
        return 1;
    }
    std::printf("region    pixels  error%s\n", refPath ? "  change" : "");
    for (const Region &r : regions) {
        double n = r.pixels ? (double)r.pixels : 1.0;
        if (r.name == regions[5].name)
            std::printf("%-8s %7ld (not measured)\n", r.name, r.pixels);
        else if (refPath)
            std::printf("%-8s %7ld %6.2f %7.2f\n", r.name, r.pixels, r.error / n, r.change / n);
        else
            std::printf("%-8s %7ld %6.2f\n", r.name, r.pixels, r.error / n);
    }
    return 0;
}

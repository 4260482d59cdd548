#include "glyphs.h"

#include <cstring>

namespace {

struct GlyphArcDef {
    double cx, cy, rx, ry, a0, a1;
};

// Glyph coordinates: baseline 0, cap height 1, y upwards, x from 0 to
// the advance (centre lines; the pen adds its radius all round).
struct Glyph {
    char ch;
    double advance;
    std::vector<std::vector<Vec>> lines;
    std::vector<GlyphArcDef> arcs;
};

const double X = 0.62;   // x-height of the lower-case letters

const std::vector<Glyph> &Font()
{
    static const std::vector<Glyph> font = {
        {' ', 0.35, {}, {}},
        {'O', 0.92, {}, {{0.46, 0.5, 0.46, 0.5, 0, 360}}},
        {'C', 0.84, {}, {{0.46, 0.5, 0.46, 0.5, 42, 318}}},
        {'R', 0.60, {{{0, 0}, {0, 1}, {0.30, 1}}, {{0.30, 0.48}, {0, 0.48}}, {{0.26, 0.48}, {0.60, 0}}},
         {{0.30, 0.74, 0.26, 0.26, 90, -90}}},
        {'I', 0.0, {{{0, 0}, {0, 1}}}, {}},
        {'N', 0.72, {{{0, 0}, {0, 1}, {0.72, 0}, {0.72, 1}}}, {}},
        {'S', 0.62, {},
         {{0.31, 0.75, 0.30, 0.25, 20, 270}, {0.31, 0.25, 0.31, 0.25, 90, -160}}},
        {'F', 0.50, {{{0.50, 1}, {0, 1}, {0, 0}}, {{0, 0.52}, {0.40, 0.52}}}, {}},
        {'T', 0.66, {{{0, 1}, {0.66, 1}}, {{0.33, 1}, {0.33, 0}}}, {}},
        {'W', 0.96, {{{0, 1}, {0.24, 0}, {0.48, 0.78}, {0.72, 0}, {0.96, 1}}}, {}},
        {'A', 0.74, {{{0, 0}, {0.37, 1}, {0.74, 0}}, {{0.14, 0.34}, {0.60, 0.34}}}, {}},
        {'E', 0.50, {{{0.50, 1}, {0, 1}, {0, 0}, {0.50, 0}}, {{0, 0.52}, {0.42, 0.52}}}, {}},
        {'V', 0.74, {{{0, 1}, {0.37, 0}, {0.74, 1}}}, {}},
        {'k', 0.52, {{{0, 0}, {0, 1}}, {{0.50, X}, {0, 0.20}}, {{0.17, 0.34}, {0.54, 0}}}, {}},
        {'a', 0.58, {{{0.58, X}, {0.58, 0}}}, {{0.29, X / 2, 0.29, X / 2, 0, 360}}},
        {'n', 0.52, {{{0, 0}, {0, X}}, {{0.52, 0.33}, {0.52, 0}}},
         {{0.26, 0.33, 0.26, 0.29, 180, 0}}},
        {'c', 0.54, {}, {{0.29, X / 2, 0.29, X / 2, 45, 315}}},
        {'e', 0.58, {{{0.02, X / 2}, {0.58, X / 2}}}, {{0.29, X / 2, 0.29, X / 2, 0, 318}}},
        {'l', 0.0, {{{0, 0}, {0, 1}}}, {}},
    };
    return font;
}

const Glyph *Find(char c)
{
    for (const Glyph &g : Font())
        if (g.ch == c)
            return &g;
    return nullptr;
}

} // namespace

double LayoutText(const char *text, Vec origin, double capHeight, double radius, double gap,
                  double stretch, StrokeSet &out)
{
    double s = capHeight - 2 * radius;   // centre-line scale
    double sx = s * stretch;
    double x = origin.x;
    size_t n = std::strlen(text);
    out.radius = radius;
    for (size_t i = 0; i < n; ++i) {
        const Glyph *g = Find(text[i]);
        if (!g)
            g = Find(' ');
        double left = x + radius;
        double base = origin.y + radius + s;
        for (const std::vector<Vec> &line : g->lines) {
            std::vector<Vec> placed;
            for (const Vec &p : line)
                placed.push_back(Vec{left + p.x * sx, base - p.y * s});
            out.lines.push_back(placed);
        }
        for (const GlyphArcDef &a : g->arcs)
            out.arcs.push_back(StrokeArc{Vec{left + a.cx * sx, base - a.cy * s}, a.rx * sx,
                                         a.ry * s, a.a0, a.a1});
        x += g->advance * sx + 2 * radius;
        if (i + 1 < n)
            x += gap;
    }
    return x - origin.x;
}

double TextWidth(const char *text, double capHeight, double radius, double gap, double stretch)
{
    StrokeSet scratch;
    return LayoutText(text, Vec{0, 0}, capHeight, radius, gap, stretch, scratch);
}

void AddStrokes(const StrokeSet &set, Shape &shape)
{
    for (const std::vector<Vec> &line : set.lines)
        for (size_t i = 0; i + 1 < line.size(); ++i)
            shape.AddStroke(line[i], line[i + 1], set.radius);
    for (const StrokeArc &a : set.arcs)
        shape.AddArc(a.c, a.rx, a.ry, a.a0, a.a1, set.radius);
}

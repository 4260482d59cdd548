#include "sprite_art.h"

#include <cmath>

#include "glyphs.h"
#include "noise.h"
#include "shape.h"

namespace {

// ---- the stone cube --------------------------------------------------------

const int kCellW = 80, kCellH = 86;
const double kSide = 54, kDx = 18, kDy = 15;   // front square and depth offset
const double kX0 = 4, kY0 = 24;                // front face top-left in the cell
const double kBevel = 2.2;

const Rgb kStone{152, 147, 138};
const Rgb kRed{208, 28, 22}, kRedLight{255, 120, 96}, kRedDark{112, 6, 6};

// Grain of the stone at face coordinates (u, v): values around 1.
double StoneGrain(double u, double v, int seed)
{
    double n = Fbm(u / 7.0, v / 7.0, 4, seed);
    double pits = Hash01((int)std::floor(u * 1.3), (int)std::floor(v * 1.3), seed + 7);
    double g = 0.80 + 0.42 * n;
    if (pits > 0.94)
        g *= 0.82;
    else if (pits < 0.04)
        g *= 1.10;
    return g;
}

Shape MarkShape(char mark)
{
    Shape s;
    double cx = kX0 + kSide / 2, top = kY0;
    if (mark == '!') {
        s.AddPolygon({{cx - 7.5, top + 6}, {cx + 7.5, top + 6}, {cx + 4.2, top + 35},
                      {cx - 4.2, top + 35}});
        s.AddEllipse(Vec{cx, top + 6}, 7.5, 2.5);
        s.AddEllipse(Vec{cx, top + 44.5}, 5.6, 5.6);
    } else {
        Vec c{cx, top + 17.5};
        s.AddArc(c, 11.5, 10.0, 158, -52, 4.4);
        Vec end = EllipsePoint(c, 11.5, 10.0, -52);
        s.AddStroke(end, Vec{cx + 0.5, top + 29}, 4.4);
        s.AddStroke(Vec{cx + 0.5, top + 29}, Vec{cx + 0.5, top + 34}, 4.4);
        s.AddEllipse(Vec{cx + 0.5, top + 44.5}, 5.6, 5.6);
    }
    return s;
}

// Colour of the embossed red mark at p.
Rgb MarkColour(const Shape &mark, Vec p)
{
    const double d = 1.6;
    bool litEdge = !mark.Contains(p + Vec{-d, -d});
    bool darkEdge = !mark.Contains(p + Vec{d, d});
    double gloss = Clamp(1.0 - (p.y - kY0) / kSide, 0.0, 1.0);
    Rgb c = Mix(kRed, kRedLight, 0.35 * gloss * gloss);
    if (litEdge && !darkEdge)
        c = Mix(c, kRedLight, 0.75);
    else if (darkEdge && !litEdge)
        c = Mix(c, kRedDark, 0.8);
    return c;
}

// The whole cube picture at cell coordinates p.
bool CubeShader(const Shape &mark, Vec p, Rgb &out)
{
    double x = p.x, y = p.y;
    // Front face.
    double u = x - kX0, v = y - kY0;
    if (u >= 0 && u <= kSide && v >= 0 && v <= kSide) {
        if (mark.Contains(p)) {
            out = MarkColour(mark, p);
            return true;
        }
        double k = 1.0 * StoneGrain(u, v, 11);
        if (v < kBevel)
            k *= 1.22;
        else if (u < kBevel)
            k *= 1.12;
        else if (v > kSide - kBevel)
            k *= 0.70;
        else if (u > kSide - kBevel)
            k *= 0.80;
        if (mark.Contains(p + Vec{-2.2, -2.2}))   // the mark's cast shadow
            k *= 0.62;
        out = Scale(kStone, k);
        return true;
    }
    // Top face: (x0 + u + t * dx, y0 - t * dy), t in [0, 1].
    double t = (kY0 - y) / kDy;
    u = x - kX0 - t * kDx;
    if (t >= 0 && t <= 1 && u >= 0 && u <= kSide) {
        double along = t * std::hypot(kDx, kDy);
        double k = 1.2 * StoneGrain(u, along * 1.6, 23);
        if (t > 1 - kBevel / kDy)
            k *= 1.15;
        else if (u < kBevel)
            k *= 1.08;
        else if (u > kSide - kBevel)
            k *= 0.86;
        out = Scale(kStone, k);
        out.b *= 1.03;
        return true;
    }
    // Right face: (x0 + S + t * dx, y0 + v - t * dy).
    t = (x - kX0 - kSide) / kDx;
    v = y - kY0 + t * kDy;
    if (t >= 0 && t <= 1 && v >= 0 && v <= kSide) {
        double k = 0.68 * StoneGrain(t * 30.0, v, 37);
        if (v < kBevel)
            k *= 1.25;
        else if (t < kBevel / kDx)
            k *= 1.12;
        else if (v > kSide - kBevel)
            k *= 0.78;
        out = Scale(kStone, k);
        out.r *= 0.97;
        return true;
    }
    return false;
}

// The cube twisted about the cell's centre, turned grey and scattered
// towards the outside.
bool SwirlShader(const Shape &mark, Vec p, Rgb &out)
{
    const double cx = kCellW / 2.0, cy = kCellH / 2.0 + 1, radius = 47;
    double dx = p.x - cx, dy = p.y - cy;
    double r = std::hypot(dx, dy);
    if (r > radius)
        return false;
    double f = 1.0 - r / radius;
    double turn = 2.6 * f * f;
    double c = std::cos(turn), s = std::sin(turn);
    Vec q{cx + dx * c - dy * s, cy + dx * s + dy * c};
    Rgb col;
    if (!CubeShader(mark, q, col))
        return false;
    double scatter = Smooth(0.50, 1.0, r / radius);
    if (Hash01((int)std::floor(p.x), (int)std::floor(p.y), 5) < 0.95 * scatter)
        return false;
    double grey = 0.30 * col.r + 0.55 * col.g + 0.15 * col.b;
    grey = 24 + grey * 0.88 + 26 * f;
    out = Rgb{grey * 0.97, grey * 0.98, grey * 1.04};
    return true;
}

// ---- the ball --------------------------------------------------------------

bool BallShader(Vec centre, double radius, Vec shadowCentre, double shadowRx, double shadowRy,
                Vec p, Rgb &out)
{
    double dx = (p.x - centre.x) / radius, dy = (p.y - centre.y) / radius;
    double d2 = dx * dx + dy * dy;
    if (d2 <= 1.0) {
        double nz = std::sqrt(1.0 - d2);
        const double lx = -0.48, ly = -0.58, lz = 0.66;   // light from upper left
        double diffuse = Clamp(dx * lx + dy * ly + nz * lz, 0.0, 1.0);
        double rz = 2 * nz * (dx * lx + dy * ly + nz * lz) - lz;   // reflection, towards viewer
        double shine = std::pow(Clamp(rz, 0.0, 1.0), 18.0);
        Rgb base{30 + 185 * diffuse, 4 + 16 * diffuse, 4 + 14 * diffuse};
        double rim = Smooth(0.75, 1.0, d2) * 0.35;   // a little bounce light at the rim
        base = Mix(base, Rgb{150, 20, 30}, rim * (1 - diffuse));
        out = Mix(base, Rgb{255, 236, 230}, shine);
        return true;
    }
    double sx = (p.x - shadowCentre.x) / shadowRx, sy = (p.y - shadowCentre.y) / shadowRy;
    double s2 = sx * sx + sy * sy;
    if (s2 <= 1.0) {
        double g = 40 + 60 * s2;
        out = Rgb{g, g, g + 4};
        return true;
    }
    return false;
}

// ---- the check mark --------------------------------------------------------

struct CheckPoint {
    Vec p;
    double r;
};

const CheckPoint kCheck[] = {{{6.0, 11.0}, 1.6}, {{10.2, 16.6}, 2.3}, {{26.5, 2.6}, 1.3}};

// Adds the part of the check mark path up to `fraction` of its length.
void AddCheck(Shape &shape, double fraction)
{
    double lengths[2], total = 0;
    for (int i = 0; i < 2; ++i) {
        Vec d = kCheck[i + 1].p - kCheck[i].p;
        lengths[i] = std::hypot(d.x, d.y);
        total += lengths[i];
    }
    double left = fraction * total;
    for (int i = 0; i < 2 && left > 0; ++i) {
        double part = left < lengths[i] ? left / lengths[i] : 1.0;
        const int steps = 12;
        for (int k = 0; k < steps; ++k) {
            double t0 = part * k / steps, t1 = part * (k + 1) / steps;
            Vec a = kCheck[i].p + (kCheck[i + 1].p - kCheck[i].p) * t0;
            Vec b = kCheck[i].p + (kCheck[i + 1].p - kCheck[i].p) * t1;
            double r = kCheck[i].r + (kCheck[i + 1].r - kCheck[i].r) * (t0 + t1) / 2;
            shape.AddStroke(a, b, r);
        }
        left -= lengths[i];
    }
}

} // namespace

Image MakeMarkStrip(char mark)
{
    Image img(2 * kCellW, kCellH);
    Shape shape = MarkShape(mark);
    img.Render(0, 0, kCellW, kCellH, 6, [&](double x, double y, Rgb &out) {
        return CubeShader(shape, Vec{x, y}, out);
    });
    img.Render(kCellW, 0, kCellW, kCellH, 4, [&](double x, double y, Rgb &out) {
        return SwirlShader(shape, Vec{x, y}, out);
    });
    img.ClearBorder(0, 0, kCellW, kCellH);
    img.ClearBorder(kCellW, 0, kCellW, kCellH);
    return img;
}

Image MakeBulletStrip()
{
    Image img(48, 24);
    img.Render(0, 0, 24, 24, 8, [](double x, double y, Rgb &out) {
        return BallShader(Vec{10.5, 10.0}, 8.2, Vec{13.5, 19.2}, 8.0, 2.8, Vec{x, y}, out);
    });
    img.Render(24, 0, 24, 24, 8, [](double x, double y, Rgb &out) {
        return BallShader(Vec{12.0, 12.0}, 8.2, Vec{13.5, 19.2}, 6.5, 2.4, Vec{x, y}, out);
    });
    img.ClearBorder(0, 0, 24, 24);
    img.ClearBorder(24, 0, 24, 24);
    return img;
}

Image MakeCheckStrip()
{
    const int w = 30, h = 22;
    Image img(6 * w, h);
    for (int cell = 1; cell < 6; ++cell) {
        Shape mark;
        AddCheck(mark, cell / 5.0);
        img.Render(cell * w, 0, w, h, 8, [&](double x, double y, Rgb &out) {
            Vec p{x, y};
            if (!mark.Contains(p))
                return false;
            bool edge = !mark.Contains(p + Vec{0.9, 0.9}) || !mark.Contains(p + Vec{-0.7, 0.7});
            bool lit = !mark.Contains(p + Vec{-0.8, -0.8});
            out = edge ? Rgb{128, 4, 8} : (lit ? Rgb{246, 74, 60} : Rgb{214, 22, 24});
            return true;
        });
        img.ClearBorder(cell * w, 0, w, h);
    }
    return img;
}

Image MakeLettering(const char *text, int width, int height, double capHeight, double radius,
                    double gap)
{
    Image img(width, height);
    double room = width - 2 * (radius + 2);
    double plain = TextWidth(text, capHeight, radius, gap, 1.0);
    // Stretch the letters to fill the width, but never squeeze them.
    double stretch = plain < room ? 1.0 + (room - plain) / (plain - 2 * radius) : 1.0;
    if (stretch > 1.15)
        stretch = 1.15;
    double textWidth = TextWidth(text, capHeight, radius, gap, stretch);
    StrokeSet strokes;
    // Whole-pixel origin, so that pens of a whole-pixel width cover whole pixels.
    LayoutText(text, Vec{std::floor((width - textWidth) / 2), std::floor((height - capHeight) / 2)},
               capHeight, radius, gap, stretch, strokes);
    Shape shape;
    AddStrokes(strokes, shape);
    img.Render(0, 0, width, height, 8, [&](double x, double y, Rgb &out) {
        out = Rgb{0, 0, 0};
        return shape.Contains(Vec{x, y});
    });
    img.ClearBorder(0, 0, width, height);
    return img;
}

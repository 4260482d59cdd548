#include "logo_art.h"

#include <cmath>

#include "glyphs.h"
#include "image.h"
#include "wmf_writer.h"

namespace {

const double kPi = 3.14159265358979323846;
const double kCentreX = (kLogoLeft + kLogoRight) / 2.0;

// Keeps one solid brush selected, replacing (and deleting) it when the
// colour changes, so that at most two brushes ever exist at once.
class BrushKeeper {
public:
    explicit BrushKeeper(WmfWriter &writer) : w(writer) {}
    void Use(uint32_t rgb)
    {
        if (slot >= 0 && rgb == colour)
            return;
        int fresh = w.CreateSolidBrush(rgb);
        w.SelectObject(fresh);
        if (slot >= 0)
            w.DeleteObject(slot);
        slot = fresh;
        colour = rgb;
    }
    int Slot() const { return slot; }

private:
    WmfWriter &w;
    int slot = -1;
    uint32_t colour = 0;
};

WmfPoint P(double x, double y)
{
    return WmfPoint{(int)std::lround(x), (int)std::lround(y)};
}

Vec Rotate(Vec p, Vec about, double degrees)
{
    double a = degrees * kPi / 180, c = std::cos(a), s = std::sin(a);
    Vec d = p - about;
    return Vec{about.x + d.x * c - d.y * s, about.y + d.x * s + d.y * c};
}

void Disc(WmfWriter &w, Vec c, double rx, double ry)
{
    w.Ellipse((int)std::lround(c.x - rx), (int)std::lround(c.y - ry), (int)std::lround(c.x + rx),
              (int)std::lround(c.y + ry));
}

std::vector<WmfPoint> ArcPoints(Vec c, double rx, double ry, double a0, double a1, double step,
                                double tilt)
{
    std::vector<WmfPoint> pts;
    int n = (int)std::ceil(std::fabs(a1 - a0) / step);
    for (int i = 0; i <= n; ++i) {
        Vec p = Rotate(EllipsePoint(c, rx, ry, a0 + (a1 - a0) * i / n), c, tilt);
        pts.push_back(P(p.x, p.y));
    }
    return pts;
}

// The part of an elliptic band between a0 and a1 degrees.
void Band(WmfWriter &w, Vec c, double rxOut, double ryOut, double rxIn, double ryIn, double a0,
          double a1, double step, double tilt)
{
    std::vector<WmfPoint> outer = ArcPoints(c, rxOut, ryOut, a0, a1, step, tilt);
    std::vector<WmfPoint> inner = ArcPoints(c, rxIn, ryIn, a1, a0, step, tilt);
    outer.insert(outer.end(), inner.begin(), inner.end());
    w.Polygon(outer);
}

// Letters: a quadrilateral per straight piece, a band per arc, and a disc
// at every end and corner for the round pen.
void Letters(WmfWriter &w, const StrokeSet &s, Vec shift)
{
    double r = s.radius;
    for (const std::vector<Vec> &line : s.lines) {
        for (size_t i = 0; i + 1 < line.size(); ++i) {
            Vec a = line[i] + shift, b = line[i + 1] + shift;
            Vec d = b - a;
            double len = std::hypot(d.x, d.y);
            Vec n{-d.y / len * r, d.x / len * r};
            w.Polygon({P(a.x + n.x, a.y + n.y), P(b.x + n.x, b.y + n.y), P(b.x - n.x, b.y - n.y),
                       P(a.x - n.x, a.y - n.y)});
        }
        for (const Vec &p : line)
            Disc(w, p + shift, r, r);
    }
    for (const StrokeArc &a : s.arcs) {
        Vec c = a.c + shift;
        if (std::fabs(a.a1 - a.a0) >= 360) {
            w.PolyPolygon({ArcPoints(c, a.rx + r, a.ry + r, 0, 360, 5.0, 0),
                           ArcPoints(c, a.rx - r, a.ry - r, 360, 0, 5.0, 0)});
            continue;
        }
        Band(w, c, a.rx + r, a.ry + r, a.rx - r, a.ry - r, a.a0, a.a1, 5.0, 0);
        Disc(w, EllipsePoint(c, a.rx, a.ry, a.a0), r, r);
        Disc(w, EllipsePoint(c, a.rx, a.ry, a.a1), r, r);
    }
}

void Star(WmfWriter &w, Vec c, double r)
{
    std::vector<WmfPoint> pts;
    for (int i = 0; i < 8; ++i) {
        double rad = (i % 2 == 0) ? r : r * 0.2;
        Vec p = EllipsePoint(c, rad, rad, i * 45.0);
        pts.push_back(P(p.x, p.y));
    }
    w.Polygon(pts);
}

// A shaded sphere: discs shrinking towards the lit upper left.
void Sphere(WmfWriter &w, BrushKeeper &brush, Vec c, double r, const Rgb *stops, int nStops,
            int steps)
{
    Vec light{c.x - 0.38 * r, c.y - 0.40 * r};
    for (int i = 0; i < steps; ++i) {
        double t = (double)i / (steps - 1);
        double k = t * (nStops - 1);
        int s = (int)k < nStops - 1 ? (int)k : nStops - 2;
        brush.Use(Pack(Mix(stops[s], stops[s + 1], k - s)));
        double rr = r * (1.0 - 0.86 * std::pow(t, 0.9));
        Vec cc = c + (light - c) * (t * 0.95);
        Disc(w, cc, rr, rr);
    }
}

struct Ring {
    Vec c;
    double rx, ry, tilt;
};

void RingHalf(WmfWriter &w, BrushKeeper &brush, const Ring &ring, double a0, double a1)
{
    static const struct {
        double out, in;
        uint32_t colour;
    } bands[] = {
        {1.06, 1.03, 0xA8967A}, {1.00, 0.89, 0xF0DEAA}, {0.86, 0.76, 0xDEB46E},
        {0.74, 0.68, 0xBE8C50},
    };
    for (const auto &b : bands) {
        brush.Use(b.colour);
        Band(w, ring.c, ring.rx * b.out, ring.ry * b.out, ring.rx * b.in, ring.ry * b.in, a0, a1,
             4.5, ring.tilt);
    }
}

} // namespace

Bytes MakeLogoMetafile(std::vector<uint32_t> *brushColours)
{
    WmfWriter w;
    w.SetWindowOrg(kLogoLeft, kLogoTop);
    w.SetWindowExt(kLogoRight - kLogoLeft, kLogoBottom - kLogoTop);
    w.SaveDC();
    w.SetBkMode(1);          // TRANSPARENT
    w.SetPolyFillMode(1);    // ALTERNATE: the hole of an O stays open
    int pen = w.CreatePen(5, 0, 0);   // PS_NULL: shapes are filled, not outlined
    w.SelectObject(pen);
    BrushKeeper brush(w);

    // Sparkles around the planet.
    brush.Use(0xFFF4C8);
    static const double stars[][3] = {
        {-3500, -250, 170}, {-2700, 520, 110}, {-3760, 1900, 120}, {1620, -380, 120},
        {3000, 1500, 150}, {2350, 2550, 100}, {-2950, 2750, 90}, {-1400, -420, 80},
    };
    for (const auto &s : stars)
        Star(w, Vec{s[0], s[1]}, s[2]);

    Ring ring{Vec{kCentreX, 1420}, 2750, 600, -13};
    RingHalf(w, brush, ring, 0, 180);   // the far side, behind the planet

    static const Rgb planet[] = {
        {110, 36, 6}, {186, 80, 10}, {236, 140, 30}, {252, 196, 84}, {255, 236, 170},
    };
    Sphere(w, brush, Vec{kCentreX, 1420}, 1250, planet, 5, 24);
    brush.Use(0xFFF8E6);
    Disc(w, Vec{kCentreX - 560, 880}, 120, 95);

    RingHalf(w, brush, ring, 180, 360);   // the near side, over the planet

    static const Rgb moon[] = {{92, 104, 138}, {176, 186, 210}, {248, 250, 255}};
    Sphere(w, brush, Vec{2640, 120}, 330, moon, 3, 10);

    // ORRIN, with a shadow, and SOFTWARE spaced out beneath it between two rules.
    StrokeSet orrin, software;
    const double bigCap = 1250, bigPen = 150, bigGap = 170, bigStretch = 1.2;
    double bigWidth = TextWidth("ORRIN", bigCap, bigPen, bigGap, bigStretch);
    double left = kCentreX - bigWidth / 2;
    LayoutText("ORRIN", Vec{left, 3020}, bigCap, bigPen, bigGap, bigStretch, orrin);
    brush.Use(0x060A2A);
    Letters(w, orrin, Vec{70, 80});
    brush.Use(0xFFCE5C);
    Letters(w, orrin, Vec{0, 0});
    // A narrow lighter stroke up and to the left gives the letters a lit edge.
    StrokeSet lit = orrin;
    lit.radius = bigPen * 0.38;
    brush.Use(0xFFEDB4);
    Letters(w, lit, Vec{-48, -52});

    const double smallCap = 480, smallPen = 56, smallGap = 170;
    double smallWidth = TextWidth("SOFTWARE", smallCap, smallPen, smallGap, 1.0);
    double sLeft = kCentreX - smallWidth / 2;
    LayoutText("SOFTWARE", Vec{sLeft, 4580}, smallCap, smallPen, smallGap, 1.0, software);
    brush.Use(0xE8ECF8);
    Letters(w, software, Vec{0, 0});
    brush.Use(0xFFCE5C);
    double ruleY = 4580 + smallCap / 2;
    w.Polygon({P(left, ruleY - 22), P(sLeft - 220, ruleY - 22), P(sLeft - 220, ruleY + 22),
               P(left, ruleY + 22)});
    w.Polygon({P(sLeft + smallWidth + 220, ruleY - 22), P(left + bigWidth, ruleY - 22),
               P(left + bigWidth, ruleY + 22), P(sLeft + smallWidth + 220, ruleY + 22)});

    // Put back the caller's pen and brush, then free ours.
    w.RestoreDC(-1);
    w.DeleteObject(brush.Slot());
    w.DeleteObject(pen);
    if (brushColours)
        *brushColours = w.BrushColours();
    return w.Finish(kLogoLeft, kLogoTop, kLogoRight, kLogoBottom, kLogoUnitsPerInch);
}

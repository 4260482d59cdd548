#include "shape.h"

#include <cmath>

static const double kPi = 3.14159265358979323846;

Vec EllipsePoint(Vec centre, double rx, double ry, double degrees)
{
    double a = degrees * kPi / 180.0;
    return Vec{centre.x + rx * std::cos(a), centre.y - ry * std::sin(a)};
}

double SegmentDistance(Vec p, Vec a, Vec b)
{
    Vec ab = b - a, ap = p - a;
    double len2 = ab.x * ab.x + ab.y * ab.y;
    double t = len2 > 0 ? (ap.x * ab.x + ap.y * ab.y) / len2 : 0.0;
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    Vec q = a + ab * t;
    return std::hypot(p.x - q.x, p.y - q.y);
}

bool InsidePolygon(const std::vector<Vec> &poly, Vec p)
{
    bool inside = false;
    size_t n = poly.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const Vec &a = poly[i], &b = poly[j];
        if ((a.y > p.y) != (b.y > p.y)) {
            double x = (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x;
            if (p.x < x)
                inside = !inside;
        }
    }
    return inside;
}

void Shape::AddStroke(Vec a, Vec b, double r)
{
    strokes.push_back(Stroke{a, b, r});
}

void Shape::AddArc(Vec centre, double rx, double ry, double a0, double a1, double r)
{
    int steps = (int)(std::fabs(a1 - a0) / 4.0) + 2;
    Vec prev = EllipsePoint(centre, rx, ry, a0);
    for (int i = 1; i <= steps; ++i) {
        Vec p = EllipsePoint(centre, rx, ry, a0 + (a1 - a0) * i / steps);
        AddStroke(prev, p, r);
        prev = p;
    }
}

void Shape::AddEllipse(Vec centre, double rx, double ry)
{
    ellipses.push_back(Ellipse{centre, rx, ry});
}

void Shape::AddPolygon(const std::vector<Vec> &points)
{
    polygons.push_back(points);
}

void Shape::Add(const Shape &other)
{
    strokes.insert(strokes.end(), other.strokes.begin(), other.strokes.end());
    ellipses.insert(ellipses.end(), other.ellipses.begin(), other.ellipses.end());
    polygons.insert(polygons.end(), other.polygons.begin(), other.polygons.end());
}

bool Shape::Contains(Vec p) const
{
    for (const Stroke &s : strokes)
        if (SegmentDistance(p, s.a, s.b) <= s.r)
            return true;
    for (const Ellipse &e : ellipses) {
        double dx = (p.x - e.c.x) / e.rx, dy = (p.y - e.c.y) / e.ry;
        if (dx * dx + dy * dy <= 1.0)
            return true;
    }
    for (const std::vector<Vec> &poly : polygons)
        if (InsidePolygon(poly, p))
            return true;
    return false;
}

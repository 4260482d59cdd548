// Filled outlines made of simple pieces (round-ended strokes, ellipses,
// polygons); a point is inside when it is inside any piece.
#ifndef ARTGEN_SHAPE_H
#define ARTGEN_SHAPE_H

#include <vector>

struct Vec {
    double x, y;
};

inline Vec operator+(Vec a, Vec b) { return Vec{a.x + b.x, a.y + b.y}; }
inline Vec operator-(Vec a, Vec b) { return Vec{a.x - b.x, a.y - b.y}; }
inline Vec operator*(Vec a, double k) { return Vec{a.x * k, a.y * k}; }

// Point on an ellipse; angles in degrees, counter-clockwise on screen
// (y grows downwards, so 90 degrees is the top).
Vec EllipsePoint(Vec centre, double rx, double ry, double degrees);

// Distance from p to the segment a-b.
double SegmentDistance(Vec p, Vec a, Vec b);

// Even-odd test of p against a closed polygon.
bool InsidePolygon(const std::vector<Vec> &poly, Vec p);

class Shape {
public:
    // A stroke of radius r from a to b with round ends.
    void AddStroke(Vec a, Vec b, double r);
    // A round-ended stroke of radius r along an elliptic arc from a0 to a1
    // degrees (either direction).
    void AddArc(Vec centre, double rx, double ry, double a0, double a1, double r);
    void AddEllipse(Vec centre, double rx, double ry);
    void AddPolygon(const std::vector<Vec> &points);
    void Add(const Shape &other);

    bool Contains(Vec p) const;
    bool Empty() const { return strokes.empty() && ellipses.empty() && polygons.empty(); }

private:
    struct Stroke {
        Vec a, b;
        double r;
    };
    struct Ellipse {
        Vec c;
        double rx, ry;
    };
    std::vector<Stroke> strokes;
    std::vector<Ellipse> ellipses;
    std::vector<std::vector<Vec>> polygons;
};

#endif

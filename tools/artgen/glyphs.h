// A small rounded stroke font: each letter is a set of centre lines and
// elliptic arcs drawn with one pen radius, so letters can be rendered as
// pixels (through Shape) or emitted as metafile polygons.
#ifndef ARTGEN_GLYPHS_H
#define ARTGEN_GLYPHS_H

#include <vector>

#include "shape.h"

struct StrokeArc {
    Vec c;
    double rx, ry, a0, a1;   // degrees, counter-clockwise on screen
};

// Strokes in output coordinates (y down), all of one radius.
struct StrokeSet {
    std::vector<std::vector<Vec>> lines;   // open polylines
    std::vector<StrokeArc> arcs;
    double radius = 0;
};

// Lays out text with its outer top-left corner at origin: capHeight is the
// outer height of a capital (pen included), radius the pen radius, gap the
// space between the pens' outer edges of neighbouring letters, stretch a
// horizontal scale. Unknown characters advance like a blank. Returns the
// outer width of the text.
double LayoutText(const char *text, Vec origin, double capHeight, double radius, double gap,
                  double stretch, StrokeSet &out);

// Outer width the same call would return.
double TextWidth(const char *text, double capHeight, double radius, double gap, double stretch);

void AddStrokes(const StrokeSet &set, Shape &shape);

#endif

#include "image.h"

#include <cmath>

Rgb Mix(const Rgb &a, const Rgb &b, double t)
{
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Scale(const Rgb &a, double k)
{
    return Rgb{a.r * k, a.g * k, a.b * k};
}

double Clamp(double v, double lo, double hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

double Smooth(double e0, double e1, double x)
{
    double t = Clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

static unsigned Channel(double v)
{
    return (unsigned)std::lround(Clamp(v, 0.0, 255.0));
}

uint32_t Pack(const Rgb &c)
{
    return (Channel(c.r) << 16) | (Channel(c.g) << 8) | Channel(c.b);
}

Rgb Unpack(uint32_t c)
{
    return Rgb{(double)((c >> 16) & 0xFF), (double)((c >> 8) & 0xFF), (double)(c & 0xFF)};
}

Image::Image(int width, int height)
    : w(width), h(height), colour((size_t)width * height, Rgb{0, 0, 0}),
      opaque((size_t)width * height, 0)
{
}

void Image::Render(int x0, int y0, int width, int height, int ss, const Shader &shader)
{
    for (int py = 0; py < height; ++py) {
        for (int px = 0; px < width; ++px) {
            Rgb sum{0, 0, 0};
            int hits = 0;
            for (int sy = 0; sy < ss; ++sy) {
                for (int sx = 0; sx < ss; ++sx) {
                    double x = px + (sx + 0.5) / ss;
                    double y = py + (sy + 0.5) / ss;
                    Rgb c;
                    if (shader(x, y, c)) {
                        sum.r += c.r;
                        sum.g += c.g;
                        sum.b += c.b;
                        ++hits;
                    }
                }
            }
            if (hits * 2 >= ss * ss && hits > 0)
                Set(x0 + px, y0 + py, Scale(sum, 1.0 / hits));
        }
    }
}

void Image::ClearBorder(int x0, int y0, int width, int height)
{
    for (int x = x0; x < x0 + width; ++x) {
        Clear(x, y0);
        Clear(x, y0 + height - 1);
    }
    for (int y = y0; y < y0 + height; ++y) {
        Clear(x0, y);
        Clear(x0 + width - 1, y);
    }
}

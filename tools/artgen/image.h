// A picture being drawn: linear 0..255 colour per pixel plus an opaque flag
// (pixels that are not opaque become the key colour when written out).
#ifndef ARTGEN_IMAGE_H
#define ARTGEN_IMAGE_H

#include <cstdint>
#include <functional>
#include <vector>

struct Rgb {
    double r, g, b;
};

Rgb Mix(const Rgb &a, const Rgb &b, double t);
Rgb Scale(const Rgb &a, double k);
double Clamp(double v, double lo, double hi);
double Smooth(double e0, double e1, double x);

// An 8-bit colour, packed 0x00RRGGBB.
uint32_t Pack(const Rgb &c);
Rgb Unpack(uint32_t c);

class Image {
public:
    Image(int width, int height);

    int Width() const { return w; }
    int Height() const { return h; }
    bool Opaque(int x, int y) const { return opaque[Index(x, y)] != 0; }
    const Rgb &At(int x, int y) const { return colour[Index(x, y)]; }
    void Set(int x, int y, const Rgb &c) { colour[Index(x, y)] = c; opaque[Index(x, y)] = 1; }
    void Clear(int x, int y) { opaque[Index(x, y)] = 0; }

    // Shader for supersampled drawing: given a point (pixel centres at
    // n + 0.5), returns false where the picture is transparent, else true
    // with the colour there.
    typedef std::function<bool(double x, double y, Rgb &out)> Shader;

    // Draws the shader into the rectangle (x0, y0, width, height), sampling
    // ss x ss points per pixel in coordinates local to the rectangle. A
    // pixel becomes opaque when at least half its samples are, with the
    // mean colour of those samples; other pixels are left as they are.
    void Render(int x0, int y0, int width, int height, int ss, const Shader &shader);

    // Makes every pixel on the border of the rectangle transparent.
    void ClearBorder(int x0, int y0, int width, int height);

private:
    size_t Index(int x, int y) const { return (size_t)y * w + x; }
    int w, h;
    std::vector<Rgb> colour;
    std::vector<uint8_t> opaque;
};

#endif

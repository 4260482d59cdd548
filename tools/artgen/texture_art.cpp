#include "texture_art.h"

#include <cmath>

#include "image.h"
#include "noise.h"

namespace {

const double kPi = 3.14159265358979323846;
const double N = kTextureSize;

// Offset from c to p on the torus, each component in [-N/2, N/2).
double Wrap(double d)
{
    d = std::fmod(d + N / 2, N);
    if (d < 0)
        d += N;
    return d - N / 2;
}

struct Vortex {
    double x, y, radius, turn;
};

// Twists p about each vortex in turn; the twist fades to nothing at the
// vortex's radius, and offsets are taken on the torus, so the result moves
// by whole periods when p does.
void Twist(double &x, double &y, const Vortex *v, int count)
{
    for (int i = 0; i < count; ++i) {
        double dx = Wrap(x - v[i].x), dy = Wrap(y - v[i].y);
        double r = std::hypot(dx, dy);
        if (r >= v[i].radius)
            continue;
        double f = 1.0 - r / v[i].radius;
        double a = v[i].turn * f * f;
        double c = std::cos(a), s = std::sin(a);
        x = v[i].x + dx * c - dy * s;
        y = v[i].y + dx * s + dy * c;
    }
}

double Wave(double x, double y, int kx, int ky, double phase)
{
    return std::sin(2 * kPi * (kx * x + ky * y) / N + phase);
}

std::vector<uint32_t> Ramp(const Rgb *stops, int count)
{
    std::vector<uint32_t> pal;
    for (int i = 0; i < 256; ++i) {
        double t = i / 255.0 * (count - 1);
        int k = (int)t;
        if (k >= count - 1)
            k = count - 2;
        pal.push_back(Pack(Mix(stops[k], stops[k + 1], t - k)));
    }
    return pal;
}

uint8_t Level(double v)
{
    return (uint8_t)std::lround(Clamp(v, 0.0, 1.0) * 255.0);
}

} // namespace

Texture MakeSwirlTexture()
{
    static const Vortex vortices[] = {
        {30, 34, 44, 5.2}, {94, 30, 40, -4.6}, {62, 92, 46, 5.0}, {4, 96, 34, -3.8},
        {112, 104, 28, 3.4}, {60, 6, 24, -2.8},
    };
    static const Rgb stops[] = {
        {196, 78, 8}, {228, 118, 18}, {246, 162, 34}, {255, 204, 64}, {255, 232, 130},
    };
    Texture t;
    t.palette = Ramp(stops, 5);
    for (int py = 0; py < kTextureSize; ++py) {
        for (int px = 0; px < kTextureSize; ++px) {
            double x = px, y = py;
            Twist(x, y, vortices, 6);
            double v = 0.5 + 0.30 * Wave(x, y, 3, 1, 0.4) + 0.16 * Wave(x, y, -1, 4, 1.9) +
                       0.08 * Wave(x, y, 5, -3, 0.7);
            v += 0.12 * (Fbm(px / 16.0, py / 16.0, 3, 71, 8) - 0.5);
            t.indices.push_back(Level(v));
        }
    }
    return t;
}

Texture MakeBlueTexture()
{
    static const Rgb stops[] = {
        {4, 8, 34}, {10, 20, 66}, {20, 38, 104}, {38, 62, 140}, {70, 98, 172},
    };
    Texture t;
    t.palette = Ramp(stops, 5);
    for (int py = 0; py < kTextureSize; ++py) {
        for (int px = 0; px < kTextureSize; ++px) {
            double cloud = Fbm(px / 32.0, py / 32.0, 5, 301, 4);
            double warp = Fbm(px / 16.0, py / 16.0, 3, 419, 8);
            // Soft veins: a periodic ridge bent by the noise.
            double ridge = 1.0 - std::fabs(Wave(px + 40 * warp, py + 40 * warp, 2, 1, 0.0));
            double v = 0.12 + 0.62 * cloud + 0.16 * ridge * ridge * ridge;
            v += 0.06 * (Fbm(px / 4.0, py / 4.0, 2, 523, 32) - 0.5);
            t.indices.push_back(Level(v));
        }
    }
    return t;
}

#include "noise.h"

#include <cmath>

double Hash01(int x, int y, int seed)
{
    uint32_t h = (uint32_t)x * 374761393u + (uint32_t)y * 668265263u + (uint32_t)seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / 16777216.0;
}

static int Wrap(int v, int period)
{
    if (period <= 0)
        return v;
    v %= period;
    return v < 0 ? v + period : v;
}

double ValueNoise(double x, double y, int seed, int period)
{
    double fx = std::floor(x), fy = std::floor(y);
    int ix = (int)fx, iy = (int)fy;
    double tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    int x0 = Wrap(ix, period), x1 = Wrap(ix + 1, period);
    int y0 = Wrap(iy, period), y1 = Wrap(iy + 1, period);
    double a = Hash01(x0, y0, seed), b = Hash01(x1, y0, seed);
    double c = Hash01(x0, y1, seed), d = Hash01(x1, y1, seed);
    double top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

double Fbm(double x, double y, int octaves, int seed, int period)
{
    double sum = 0, weight = 0, amp = 1;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * ValueNoise(x, y, seed + i * 101, period);
        weight += amp;
        amp *= 0.5;
        x *= 2;
        y *= 2;
        if (period > 0)
            period *= 2;
    }
    return sum / weight;
}

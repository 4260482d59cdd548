// The bitmaps, read as the resource bytes the sprites and textures get:
// format, size, colour table, key colour at the cells' edges, content.
#include <windows.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/globals.h"
#include "res_bytes.h"

namespace {

const COLORREF kMagenta = RGB(255, 0, 255), kWhite = RGB(255, 255, 255);

// A bottom-up, uncompressed DIB resource decoded to colours.
struct Dib {
    int width = 0, height = 0, bits = 0, colours = 0;
    std::vector<COLORREF> table;
    std::vector<int> index;   // top row first

    COLORREF At(int x, int y) const { return table[index[(size_t)y * width + x]]; }
    int Index(int x, int y) const { return index[(size_t)y * width + x]; }
};

// Decodes the resource, checking the layout the program relies on.
void ReadDib(const char *name, Dib &dib)
{
    ResBytes res;
    ASSERT_TRUE(LoadResBytes(name, RT_BITMAP, res)) << name;
    ASSERT_GE(res.size, 40u);
    EXPECT_EQ(40ul, res.U32(0)) << "BITMAPINFOHEADER";
    dib.width = (int)res.U32(4);
    dib.height = (int)res.U32(8);
    ASSERT_GT(dib.height, 0) << "bottom-up";
    EXPECT_EQ(1u, res.U16(12));
    dib.bits = (int)res.U16(14);
    ASSERT_TRUE(dib.bits == 4 || dib.bits == 8) << dib.bits;
    EXPECT_EQ((unsigned long)BI_RGB, res.U32(16));
    unsigned long used = res.U32(32);
    dib.colours = used ? (int)used : 1 << dib.bits;
    DWORD stride = ((dib.width * dib.bits + 31) / 32) * 4;
    DWORD bitsAt = 40 + 4 * dib.colours;
    ASSERT_EQ(bitsAt + stride * dib.height, res.size) << "header, table and rows, nothing else";
    for (int i = 0; i < dib.colours; ++i)
        dib.table.push_back(RGB(res.U8(40 + 4 * i + 2), res.U8(40 + 4 * i + 1), res.U8(40 + 4 * i)));
    for (int y = 0; y < dib.height; ++y) {
        DWORD row = bitsAt + stride * (dib.height - 1 - y);
        for (int x = 0; x < dib.width; ++x) {
            int v = dib.bits == 8 ? res.U8(row + x)
                                  : (res.U8(row + x / 2) >> (x % 2 ? 0 : 4)) & 0x0F;
            ASSERT_LT(v, dib.colours);
            dib.index.push_back(v);
        }
    }
}

// Pixels of one cell that are not the key colour.
int Drawn(const Dib &dib, int cell, int cellWidth, COLORREF key)
{
    int n = 0;
    for (int y = 0; y < dib.height; ++y)
        for (int x = cell * cellWidth; x < (cell + 1) * cellWidth; ++x)
            n += dib.At(x, y) != key;
    return n;
}

struct Strip {
    const char *name;
    int width, height, bits, cells;
    COLORREF key;
};

const Strip kStrips[] = {
    {"ALERT", 160, 86, 8, 2, kMagenta},    {"QUESTION", 160, 86, 8, 2, kMagenta},
    {"BULLET", 48, 24, 8, 2, kMagenta},    {"CHECKBOX", 180, 22, 8, 6, kWhite},
    {"OK", 54, 32, 4, 1, kMagenta},        {"CANCEL", 78, 20, 4, 1, kMagenta},
};

TEST(Bitmaps, StripsHaveTheirSizeDepthAndTransparentEdges)
{
    for (const Strip &s : kStrips) {
        SCOPED_TRACE(s.name);
        Dib dib;
        ReadDib(s.name, dib);
        if (HasFatalFailure())
            return;
        EXPECT_EQ(s.width, dib.width);
        EXPECT_EQ(s.height, dib.height);
        EXPECT_EQ(s.bits, dib.bits);
        EXPECT_EQ(1 << s.bits, dib.colours);

        // Drawn pixels never fall on the key colour by accident: only one
        // table entry in use is the key.
        std::vector<bool> usedEntry(dib.colours, false);
        for (int v : dib.index)
            usedEntry[v] = true;
        int keyEntries = 0;
        for (int i = 0; i < dib.colours; ++i)
            keyEntries += usedEntry[i] && dib.table[i] == s.key;
        EXPECT_EQ(1, keyEntries);

        // Every cell is framed by the key colour, so its corners and edges
        // stay transparent.
        int cw = s.width / s.cells;
        for (int c = 0; c < s.cells; ++c) {
            int x0 = c * cw, x1 = x0 + cw - 1;
            for (int x = x0; x <= x1; ++x) {
                EXPECT_EQ(s.key, dib.At(x, 0)) << "cell " << c << " top x " << x;
                EXPECT_EQ(s.key, dib.At(x, s.height - 1)) << "cell " << c << " bottom x " << x;
            }
            for (int y = 0; y < s.height; ++y) {
                EXPECT_EQ(s.key, dib.At(x0, y)) << "cell " << c << " left y " << y;
                EXPECT_EQ(s.key, dib.At(x1, y)) << "cell " << c << " right y " << y;
            }
        }
    }
}

bool Reddish(COLORREF c)
{
    return GetRValue(c) > 150 && GetGValue(c) < 110 && GetBValue(c) < 110;
}

bool Greyish(COLORREF c)
{
    int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    return std::abs(r - g) < 24 && std::abs(g - b) < 24 && std::abs(r - b) < 24;
}

TEST(Bitmaps, PicturesShowWhatTheyShould)
{
    for (const char *name : {"ALERT", "QUESTION"}) {
        SCOPED_TRACE(name);
        Dib dib;
        ReadDib(name, dib);
        if (HasFatalFailure())
            return;
        // Cell 0: a stone (grey) cube carrying a red mark in its middle.
        int red = 0, grey = 0, drawn = 0;
        for (int y = 0; y < 86; ++y)
            for (int x = 0; x < 80; ++x) {
                COLORREF c = dib.At(x, y);
                if (c == kMagenta)
                    continue;
                ++drawn;
                red += Reddish(c);
                grey += Greyish(c);
            }
        EXPECT_GT(drawn, 80 * 86 / 2);
        EXPECT_GT(red, 150);
        EXPECT_GT(grey, drawn / 2);
        // Cell 1: the same picture dissolved into grey: no red left.
        int drawn1 = Drawn(dib, 1, 80, kMagenta), grey1 = 0;
        for (int y = 0; y < 86; ++y)
            for (int x = 80; x < 160; ++x)
                grey1 += dib.At(x, y) != kMagenta && Greyish(dib.At(x, y));
        EXPECT_GT(drawn1, 1000);
        EXPECT_EQ(drawn1, grey1);
        EXPECT_NE(dib.index[0], dib.index[(size_t)43 * 160 + 120]);   // the swirl has a middle
    }

    Dib ball;
    ReadDib("BULLET", ball);
    ASSERT_FALSE(HasFatalFailure());
    for (int c = 0; c < 2; ++c) {
        int red = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = c * 24; x < c * 24 + 24; ++x)
                red += Reddish(ball.At(x, y));
        EXPECT_GT(red, 60) << "cell " << c;
        EXPECT_GT(Drawn(ball, c, 24, kMagenta), red) << "a shadow beside the ball";
    }

    // The check mark grows from nothing in cell 0 to full size in cell 5.
    Dib check;
    ReadDib("CHECKBOX", check);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(0, Drawn(check, 0, 30, kWhite));
    for (int c = 1; c < 6; ++c)
        EXPECT_GT(Drawn(check, c, 30, kWhite), Drawn(check, c - 1, 30, kWhite)) << "cell " << c;
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 180; ++x)
            if (check.At(x, y) != kWhite) {
                COLORREF c = check.At(x, y);
                EXPECT_GT(GetRValue(c), 2 * GetGValue(c) + 20) << "red at " << x << "," << y;
            }

    // Button faces: black letters, nothing else, on magenta.
    for (const char *name : {"OK", "CANCEL"}) {
        Dib face;
        ReadDib(name, face);
        ASSERT_FALSE(HasFatalFailure());
        int black = 0;
        for (size_t i = 0; i < face.index.size(); ++i) {
            COLORREF c = face.table[face.index[i]];
            EXPECT_TRUE(c == kMagenta || c == RGB(0, 0, 0)) << name;
            black += c == RGB(0, 0, 0);
        }
        EXPECT_GT(black, (int)face.index.size() / 6) << name << ": bold lettering";
    }
}

// Mean colour distance between two columns (or rows) of a texture.
double LineDistance(const Dib &d, int a, int b, bool columns)
{
    double sum = 0;
    int n = columns ? d.height : d.width;
    for (int i = 0; i < n; ++i) {
        COLORREF p = columns ? d.At(a, i) : d.At(i, a);
        COLORREF q = columns ? d.At(b, i) : d.At(i, b);
        sum += std::sqrt(std::pow(GetRValue(p) - GetRValue(q), 2.0) +
                         std::pow(GetGValue(p) - GetGValue(q), 2.0) +
                         std::pow(GetBValue(p) - GetBValue(q), 2.0));
    }
    return sum / n;
}

TEST(Bitmaps, TexturesTileWithoutSeamsInTheirColours)
{
    for (const char *name : {"QZSWIRL", "BLUETEX"}) {
        SCOPED_TRACE(name);
        Dib tex;
        ReadDib(name, tex);
        if (HasFatalFailure())
            return;
        EXPECT_EQ(128, tex.width);
        EXPECT_EQ(128, tex.height);
        EXPECT_EQ(8, tex.bits);
        EXPECT_EQ(256, tex.colours) << "a full colour table";

        for (bool columns : {true, false}) {
            const char *what = columns ? "last column to first" : "last row to first";
            double innerMax = 0, innerSum = 0;
            for (int i = 0; i + 1 < 128; ++i) {
                double d = LineDistance(tex, i, i + 1, columns);
                innerSum += d;
                innerMax = d > innerMax ? d : innerMax;
            }
            double mean = innerSum / 127;
            double seam = LineDistance(tex, 127, 0, columns);
            EXPECT_GT(mean, 0.5) << "a texture, not a flat colour";
            // Across the wrap the colours change no more than between any
            // two inner neighbours (give or take the spread among those).
            EXPECT_LE(seam, 1.25 * innerMax) << what;
            EXPECT_LE(seam, 3.0 * mean) << what;
            // Lines far apart differ clearly, so a seam would show.
            EXPECT_GT(LineDistance(tex, 127, 40, columns), 3.0 * mean) << what;
        }
    }

    // Their colours: a warm orange-yellow and a dark blue.
    Dib swirl, blue;
    ReadDib("QZSWIRL", swirl);
    ReadDib("BLUETEX", blue);
    ASSERT_FALSE(HasFatalFailure());
    double s[3] = {0, 0, 0}, b[3] = {0, 0, 0};
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            COLORREF c = swirl.At(x, y), d = blue.At(x, y);
            s[0] += GetRValue(c); s[1] += GetGValue(c); s[2] += GetBValue(c);
            b[0] += GetRValue(d); b[1] += GetGValue(d); b[2] += GetBValue(d);
        }
    for (double &v : s) v /= 128 * 128;
    for (double &v : b) v /= 128 * 128;
    // Orange-yellow: strong red, less green, little blue.
    EXPECT_GT(s[0], 200);
    EXPECT_GT(s[1], 110);
    EXPECT_LT(s[1], s[0] - 30);
    EXPECT_LT(s[2], 90);
    // Dark blue.
    EXPECT_GT(b[2], b[0] + 40);
    EXPECT_GT(b[2], b[1] + 20);
    EXPECT_LT(b[2], 140);
}

TEST(Bitmaps, LoadBitmapFindsEveryNameTheControlsUse)
{
    const struct {
        const char *name;
        int width, height;
    } names[] = {
        {"Alert", 160, 86}, {"Question", 160, 86}, {"bullet", 48, 24}, {"CheckBox", 180, 22},
        {"Ok", 54, 32}, {"OK", 54, 32}, {"Cancel", 78, 20},
        {"qzswirl", 128, 128}, {"QzSwirl", 128, 128}, {"BlueTex", 128, 128},
    };
    for (const auto &n : names) {
        HBITMAP bmp = LoadBitmapA(ghInst, n.name);
        ASSERT_TRUE(bmp != NULL) << n.name;
        BITMAP info = {};
        EXPECT_EQ((int)sizeof info, GetObjectA(bmp, sizeof info, &info));
        EXPECT_EQ(n.width, info.bmWidth) << n.name;
        EXPECT_EQ(n.height, info.bmHeight) << n.name;
        EXPECT_TRUE(DeleteObject(bmp));
    }
}

} // namespace

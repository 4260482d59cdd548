// Sprite: frame strips with an exact key colour, drawn and animated over a
// patterned background in DIB sections so every pixel can be checked.
#include <windows.h>
#include <gtest/gtest.h>
#include <functional>

#include "graphics/sprite.h"
#include "tests/support/gfx_dib.h"
#include "tests/support/win_test.h"

using namespace gfxtest;
using namespace wintest;

namespace {

const COLORREF kMagenta = RGB(255, 0, 255);
const int kKey = 250, kNearA = 251, kNearB = 252, kNearC = 253, kBlack = 254, kWhite = 255;
const int kW = 80, kH = 86;

RGBQUAD Quad(int r, int g, int b)
{
    RGBQUAD q = {(BYTE)b, (BYTE)g, (BYTE)r, 0};
    return q;
}

void StripTable(RGBQUAD table[256])
{
    for (int i = 0; i < 256; i++)
        table[i] = TestColour(i);
    table[kKey] = Quad(255, 0, 255);
    table[kNearA] = Quad(254, 0, 255);
    table[kNearB] = Quad(255, 0, 254);
    table[kNearC] = Quad(255, 1, 255);
    table[kBlack] = Quad(0, 0, 0);
    table[kWhite] = Quad(255, 255, 255);
}

// Strip pixel index: frame 0 has a key-coloured top-left corner, near-key
// and black pixels; frame 1 a key-coloured bottom-right corner.
int StripIndex(int x, int y, void *)
{
    if (x >= 2 * kW)
        return 7;   // the columns past the last whole frame
    int f = x / kW, fx = x % kW;
    if (f == 0) {
        if (fx + y < 12)
            return kKey;
        if (y == 40 && fx >= 40 && fx <= 42)
            return kNearA + (fx - 40);
        if (y == 60 && fx == 60)
            return kBlack;
        return (fx * 3 + y) % 200;
    }
    if ((kW - 1 - fx) + (kH - 1 - y) < 12)
        return kKey;
    return 200 + (fx + 2 * y) % 40;
}

// The same picture with black in the key pixels, and its white-on-black mask.
int BlackedIndex(int x, int y, void *arg)
{
    int i = StripIndex(x, y, arg);
    return i == kKey ? kBlack : i;
}
int MaskIndex(int x, int y, void *arg) { return StripIndex(x, y, arg) == kKey ? kWhite : kBlack; }

COLORREF StripColour(int index)
{
    RGBQUAD t[256];
    StripTable(t);
    return RGB(t[index].rgbRed, t[index].rgbGreen, t[index].rgbBlue);
}

COLORREF Background(int x, int y) { return RGB(x & 255, y & 255, 77); }

void PaintBackground(DibCanvas &c)
{
    for (int y = 0; y < c.height(); y++)
        for (int x = 0; x < c.width(); x++)
            c.Set(x, y, Background(x, y));
}

// Expected pixel with frame `frame` at (sx, sy) over the background.
COLORREF Expected(int x, int y, int sx, int sy, int frame)
{
    int fx = x - sx, fy = y - sy;
    if (frame < 0 || fx < 0 || fy < 0 || fx >= kW || fy >= kH)
        return Background(x, y);
    int i = StripIndex(frame * kW + fx, fy, NULL);
    return i == kKey ? Background(x, y) : StripColour(i);
}

int Mismatches(const DibCanvas &c, std::function<COLORREF(int, int)> want)
{
    int wrong = 0;
    for (int y = 0; y < c.height(); y++)
        for (int x = 0; x < c.width(); x++)
            wrong += c.Get(x, y) != want(x, y);
    return wrong;
}

RECT Bounds(HDC dc)
{
    RECT r = {0, 0, 0, 0};
    GetBoundsRect(dc, &r, DCB_RESET);
    return r;
}

void StartBounds(HDC dc) { SetBoundsRect(dc, NULL, DCB_ENABLE | DCB_RESET); }

int gLoaderCalls = 0;
HBITMAP CountingLoader(HINSTANCE instance, LPCSTR name)
{
    gLoaderCalls++;
    return LoadBitmapA(instance, name);
}

class SpriteTest : public ::testing::Test {
protected:
    static void Build()
    {
        RGBQUAD table[256];
        StripTable(table);
        module = new ResourceModule;
        module->Add("STRIP", MakeDib8(2 * kW, kH, table, StripIndex, NULL));
        module->Add("WIDESTRIP", MakeDib8(2 * kW + 1, kH, table, StripIndex, NULL));
        module->Add("BLACKED", MakeDib8(2 * kW, kH, table, BlackedIndex, NULL));
        module->Add("BLACKEDMASK", MakeDib8(2 * kW, kH, table, MaskIndex, NULL));
        instance = module->Load();
    }
    static void TearDownTestSuite()
    {
        delete module;
        module = NULL;
        instance = NULL;
    }
    void SetUp() override
    {
        if (!module)
            Build();
        ASSERT_TRUE(instance != NULL) << "test resource module not loaded";
        ASSERT_TRUE(canvas.ok());
        PaintBackground(canvas);
    }

    static ResourceModule *module;
    static HINSTANCE instance;
    DibCanvas canvas{200, 160};
};

ResourceModule *SpriteTest::module = NULL;
HINSTANCE SpriteTest::instance = NULL;

} // namespace

TEST_F(SpriteTest, SplitsTheStripIntoFrames)
{
    Sprite sprite;
    gLoaderCalls = 0;
    ASSERT_EQ(1, sprite.Load(instance, "STRIP", NULL, kMagenta, 2, CountingLoader));
    EXPECT_EQ(1, gLoaderCalls);
    EXPECT_EQ(kW, sprite.FrameWidth());
    EXPECT_EQ(kH, sprite.FrameHeight());

    EXPECT_EQ(1, sprite.Draw(canvas.dc(), 10, 5, 1));
    EXPECT_EQ(0, Mismatches(canvas, [](int x, int y) { return Expected(x, y, 10, 5, 1); }));
    PaintBackground(canvas);
    EXPECT_EQ(1, sprite.Draw(canvas.dc(), 100, 50, 0));
    EXPECT_EQ(0, Mismatches(canvas, [](int x, int y) { return Expected(x, y, 100, 50, 0); }));
}

TEST_F(SpriteTest, OnlyTheExactKeyColourIsTransparent)
{
    Sprite sprite;
    ASSERT_EQ(1, sprite.Load(instance, "STRIP", NULL, kMagenta, 2, NULL));
    sprite.Draw(canvas.dc(), 0, 0, 0);
    EXPECT_EQ(Background(0, 0), canvas.Get(0, 0));
    EXPECT_EQ(Background(11, 0), canvas.Get(11, 0));
    EXPECT_EQ(StripColour((12 * 3) % 200), canvas.Get(12, 0));
    EXPECT_EQ(RGB(254, 0, 255), canvas.Get(40, 40));
    EXPECT_EQ(RGB(255, 0, 254), canvas.Get(41, 40));
    EXPECT_EQ(RGB(255, 1, 255), canvas.Get(42, 40));
    // Black in the picture is opaque black, not a hole.
    EXPECT_EQ(RGB(0, 0, 0), canvas.Get(60, 60));
}

TEST_F(SpriteTest, DrawsTheSameWhateverColoursTheDcHas)
{
    Sprite sprite;
    ASSERT_EQ(1, sprite.Load(instance, "STRIP", NULL, kMagenta, 2, NULL));
    SetTextColor(canvas.dc(), RGB(200, 10, 10));
    SetBkColor(canvas.dc(), RGB(10, 200, 10));
    SetBkMode(canvas.dc(), TRANSPARENT);
    DcSelection sel = Selection(canvas.dc());
    sprite.Draw(canvas.dc(), 30, 20, 0);
    EXPECT_EQ(0, Mismatches(canvas, [](int x, int y) { return Expected(x, y, 30, 20, 0); }));
    EXPECT_EQ(RGB(200, 10, 10), GetTextColor(canvas.dc()));
    EXPECT_EQ(RGB(10, 200, 10), GetBkColor(canvas.dc()));
    EXPECT_EQ(TRANSPARENT, GetBkMode(canvas.dc()));
    EXPECT_TRUE(sel == Selection(canvas.dc()));
}

TEST_F(SpriteTest, TruncatesTheFrameWidthAndNeverShowsTheLastColumns)
{
    Sprite sprite;
    ASSERT_EQ(1, sprite.Load(instance, "WIDESTRIP", NULL, kMagenta, 2, NULL));
    EXPECT_EQ(kW, sprite.FrameWidth());
    sprite.Draw(canvas.dc(), 10, 5, 1);
    EXPECT_EQ(0, Mismatches(canvas, [](int x, int y) { return Expected(x, y, 10, 5, 1); }));
}

TEST_F(SpriteTest, UsesAMaskResourceWhenOneIsNamed)
{
    Sprite sprite;
    ASSERT_EQ(1, sprite.Load(instance, "BLACKED", "BLACKEDMASK", RGB(1, 1, 1), 2, NULL));
    sprite.Draw(canvas.dc(), 40, 30, 0);
    EXPECT_EQ(0, Mismatches(canvas, [](int x, int y) { return Expected(x, y, 40, 30, 0); }));
}

TEST_F(SpriteTest, AnimatingBackAndForthLeavesNoTraceOfTheOtherFrame)
{
    Sprite sprite;
    ASSERT_EQ(1, sprite.Load(instance, "STRIP", NULL, kMagenta, 2, NULL));
    EXPECT_EQ(1, sprite.Animate(canvas.dc(), 20, 10, 0));
    EXPECT_EQ(0, Mismatches(canvas, [](int x, int y) { return Expected(x, y, 20, 10, 0); }));
    EXPECT_EQ(1, sprite.Animate(canvas.dc(), 20, 10, 1));
    EXPECT_EQ(0, Mismatches(canvas, [](int x, int y) { return Expected(x, y, 20, 10, 1); }));
    EXPECT_EQ(1, sprite.Animate(canvas.dc(), 20, 10, 0));
    EXPECT_EQ(0, Mismatches(canvas, [](int x, int y) { return Expected(x, y, 20, 10, 0); }));
}

TEST_F(SpriteTest, MovingRedrawsTheUnionOnceAndRestoresTheUncoveredPart)
{
    Sprite sprite;
    ASSERT_EQ(1, sprite.Load(instance, "STRIP", NULL, kMagenta, 2, NULL));
    StartBounds(canvas.dc());
    sprite.Animate(canvas.dc(), 0, 0, 1);
    RECT first = Bounds(canvas.dc());
    EXPECT_EQ(0, first.left);
    EXPECT_EQ(0, first.top);
    EXPECT_EQ(kW, first.right);
    EXPECT_EQ(kH, first.bottom);

    sprite.Animate(canvas.dc(), 5, 3, 1);
    RECT second = Bounds(canvas.dc());
    EXPECT_EQ(0, second.left);
    EXPECT_EQ(0, second.top);
    EXPECT_EQ(kW + 5, second.right);
    EXPECT_EQ(kH + 3, second.bottom);
    EXPECT_EQ(0, Mismatches(canvas, [](int x, int y) { return Expected(x, y, 5, 3, 1); }));

    // Moving back up and left covers the same union.
    sprite.Animate(canvas.dc(), 0, 0, 0);
    RECT third = Bounds(canvas.dc());
    EXPECT_EQ(kW + 5, third.right);
    EXPECT_EQ(kH + 3, third.bottom);
    EXPECT_EQ(0, Mismatches(canvas, [](int x, int y) { return Expected(x, y, 0, 0, 0); }));
}

TEST_F(SpriteTest, AnimateDoneRestoresOrLeavesTheLastFrame)
{
    Sprite sprite;
    ASSERT_EQ(1, sprite.Load(instance, "STRIP", NULL, kMagenta, 2, NULL));
    sprite.Animate(canvas.dc(), 50, 40, 0);
    sprite.Animate(canvas.dc(), 60, 45, 1);
    EXPECT_EQ(1, sprite.AnimateDone(canvas.dc(), 1));
    EXPECT_EQ(0, Mismatches(canvas, [](int x, int y) { return Background(x, y); }));

    sprite.Animate(canvas.dc(), 50, 40, 1);
    EXPECT_EQ(1, sprite.AnimateDone(canvas.dc(), 0));
    EXPECT_EQ(0, Mismatches(canvas, [](int x, int y) { return Expected(x, y, 50, 40, 1); }));
    // Without a device context only the saved background is dropped.
    EXPECT_EQ(1, sprite.AnimateDone(NULL, 1));

    // The next Animate keeps what the canvas now shows as its background.
    sprite.Animate(canvas.dc(), 50, 40, 0);
    sprite.AnimateDone(canvas.dc(), 1);
    EXPECT_EQ(0, Mismatches(canvas, [](int x, int y) { return Expected(x, y, 50, 40, 1); }));
}

TEST_F(SpriteTest, AnEmptySpriteDrawsNothing)
{
    Sprite sprite;
    EXPECT_EQ(0, sprite.Draw(canvas.dc(), 0, 0, 0));
    EXPECT_EQ(0, sprite.Animate(canvas.dc(), 0, 0, 0));
    EXPECT_EQ(0, sprite.Load(instance, "NOSUCHSTRIP", NULL, kMagenta, 2, NULL));
    EXPECT_FALSE(sprite.IsLoaded());
    EXPECT_EQ(0, sprite.Draw(canvas.dc(), 0, 0, 0));
    EXPECT_EQ(0, sprite.Animate(canvas.dc(), 10, 10, 0));
    EXPECT_EQ(1, sprite.AnimateDone(canvas.dc(), 1));
    EXPECT_EQ(0, Mismatches(canvas, [](int x, int y) { return Background(x, y); }));

    // A loaded sprite has no frame outside its strip.
    ASSERT_EQ(1, sprite.Load(instance, "STRIP", NULL, kMagenta, 2, NULL));
    EXPECT_EQ(0, sprite.Draw(canvas.dc(), 0, 0, 2));
    EXPECT_EQ(0, sprite.Draw(canvas.dc(), 0, 0, -1));
    EXPECT_EQ(0, sprite.Animate(canvas.dc(), 0, 0, 2));
    EXPECT_EQ(0, Mismatches(canvas, [](int x, int y) { return Background(x, y); }));
    // A zero frame count is refused rather than divided by.
    Sprite none;
    EXPECT_EQ(0, none.Load(instance, "STRIP", NULL, kMagenta, 0, NULL));
}

namespace {

bool SpriteRound(HINSTANCE instance, DibCanvas &canvas)
{
    Sprite sprite;
    if (!sprite.Load(instance, "STRIP", NULL, kMagenta, 2, NULL))
        return false;
    DcSelection sel = Selection(canvas.dc());
    sprite.Animate(canvas.dc(), 0, 0, 0);
    sprite.Animate(canvas.dc(), 7, 9, 1);
    sprite.Draw(canvas.dc(), 3, 3, 1);
    sprite.AnimateDone(canvas.dc(), 1);
    sprite.Animate(canvas.dc(), 1, 1, 0);
    return sel == Selection(canvas.dc());
}

} // namespace

TEST_F(SpriteTest, SelectsBackWhatItSelectsAndFreesItsBitmaps)
{
    EXPECT_TRUE(SpriteRound(instance, canvas));
    int before = GdiObjectCount();
    ASSERT_GE(before, 0) << "GDI objects cannot be counted here";
    for (int i = 0; i < 3; i++)
        EXPECT_TRUE(SpriteRound(instance, canvas));
    EXPECT_EQ(before, GdiObjectCount());
}

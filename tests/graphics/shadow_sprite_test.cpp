// ShadowSprite: a face with a drop shadow filled from the shadow variant of
// a texture, or black without one, drawn and moved in DIB sections.
#include <windows.h>
#include <gtest/gtest.h>
#include <functional>

#include "graphics/dib_tex.h"
#include "graphics/shadow_sprite.h"
#include "tests/support/gfx_dib.h"
#include "tests/support/win_test.h"

using namespace gfxtest;
using namespace wintest;

namespace {

const COLORREF kMagenta = RGB(255, 0, 255);
const int kKey = 250, kBlack = 254;
const int kW = 54, kH = 32, kD = 8;

void FaceTable(RGBQUAD table[256])
{
    for (int i = 0; i < 256; i++)
        table[i] = TestColour(i);
    RGBQUAD key = {255, 0, 255, 0}, black = {0, 0, 0, 0};
    table[kKey] = key;
    table[kBlack] = black;
}

// Opaque stripes along the top and left edges and upright bars to the
// right; (8, 8) is transparent so the shadow shows there.
bool FaceOpaque(int x, int y)
{
    return x < 3 || y < 3 || (x >= 20 && x < 50 && y >= 6 && y < 28 && (x / 5) % 2 == 0);
}
int FaceIndex(int x, int y, void *)
{
    if (!FaceOpaque(x, y))
        return kKey;
    return (x + y) % 7 == 0 ? kBlack : (x * 5 + y) % 200;
}
int SolidIndex(int x, int y, void *) { return (x + 3 * y) % 200; }
int KeyIndex(int, int, void *) { return kKey; }

COLORREF FaceColour(int x, int y)
{
    RGBQUAD t[256];
    FaceTable(t);
    int i = FaceIndex(x, y, NULL);
    return RGB(t[i].rgbRed, t[i].rgbGreen, t[i].rgbBlue);
}

COLORREF Background(int x, int y) { return RGB((x * 3) & 255, (y * 5) & 255, 200); }

void PaintBackground(DibCanvas &c)
{
    for (int y = 0; y < c.height(); y++)
        for (int x = 0; x < c.width(); x++)
            c.Set(x, y, Background(x, y));
}

// What a face at (fx, fy) with its shadow at (fx + d, fy + d) leaves at
// (x, y). textured: shadow from the test texture at offset (tx, ty).
struct Scene {
    int fx, fy, d;
    bool textured;
    int tx, ty;
    bool (*opaque)(int, int);
    COLORREF (*colour)(int, int);
    int w, h;

    COLORREF At(int x, int y) const
    {
        int px = x - fx, py = y - fy;
        if (px >= 0 && py >= 0 && px < w && py < h && opaque(px, py))
            return colour(px, py);
        int sx = x - fx - d, sy = y - fy - d;
        if (sx >= 0 && sy >= 0 && sx < w && sy < h && opaque(sx, sy)) {
            if (!textured)
                return RGB(0, 0, 0);
            return ShadowOf(TestRGB(TextureIndex((tx + kD + sx) % 128, (ty + kD + sy) % 128)));
        }
        return Background(x, y);
    }
};

bool AllOpaque(int, int) { return true; }
COLORREF SolidColour(int x, int y)
{
    return TestRGB(SolidIndex(x, y, NULL));
}

Scene FaceScene(int fx, int fy, int d, bool textured = false, int tx = 0, int ty = 0)
{
    Scene s = {fx, fy, d, textured, tx, ty, FaceOpaque, FaceColour, kW, kH};
    return s;
}

int Mismatches(const DibCanvas &c, const Scene &s)
{
    int wrong = 0;
    for (int y = 0; y < c.height(); y++)
        for (int x = 0; x < c.width(); x++)
            wrong += c.Get(x, y) != s.At(x, y);
    return wrong;
}

int BackgroundMismatches(const DibCanvas &c)
{
    int wrong = 0;
    for (int y = 0; y < c.height(); y++)
        for (int x = 0; x < c.width(); x++)
            wrong += c.Get(x, y) != Background(x, y);
    return wrong;
}

RECT Bounds(HDC dc)
{
    RECT r = {0, 0, 0, 0};
    GetBoundsRect(dc, &r, DCB_RESET);
    return r;
}

DIBTex *gTexture = NULL;
void *gAskedWith = NULL;
int gAsked = 0;
DIBTex *TestTexture(void *arg)
{
    gAskedWith = arg;
    gAsked++;
    return gTexture;
}

class ShadowSpriteTest : public ::testing::Test {
protected:
    static void Build()
    {
        RGBQUAD table[256];
        FaceTable(table);
        module = new ResourceModule;
        module->Add("FACE", MakeDib8(kW, kH, table, FaceIndex, NULL));
        module->Add("SOLID", MakeDib8(20, 10, table, SolidIndex, NULL));
        module->Add("ALLKEY", MakeDib8(20, 10, table, KeyIndex, NULL));
        module->Add("GRADTEX", MakeTestTexture(128, 128));
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
        gTexture = NULL;
        gAsked = 0;
        gAskedWith = NULL;
    }

    static ResourceModule *module;
    static HINSTANCE instance;
    DibCanvas canvas{120, 80};
};

ResourceModule *ShadowSpriteTest::module = NULL;
HINSTANCE ShadowSpriteTest::instance = NULL;

} // namespace

TEST_F(ShadowSpriteTest, AnOpaquePictureCastsARectangularBlackShadow)
{
    ShadowSprite sprite;
    ASSERT_EQ(1, sprite.Load(instance, "SOLID", kMagenta, kD, NULL));
    EXPECT_EQ(20, sprite.Width());
    EXPECT_EQ(10, sprite.Height());
    EXPECT_EQ(kD, sprite.Depth());
    EXPECT_EQ(1, sprite.Draw(canvas.dc(), 0, 0, kD));
    Scene s = {0, 0, kD, false, 0, 0, AllOpaque, SolidColour, 20, 10};
    EXPECT_EQ(0, Mismatches(canvas, s));
    EXPECT_EQ(RGB(0, 0, 0), canvas.Get(27, 17));
    EXPECT_EQ(Background(28, 17), canvas.Get(28, 17));
}

TEST_F(ShadowSpriteTest, APictureAllInTheKeyColourDrawsNothing)
{
    ShadowSprite sprite;
    ASSERT_EQ(1, sprite.Load(instance, "ALLKEY", kMagenta, kD, NULL));
    gTexture = NULL;
    sprite.ShadowTexture(TestTexture, NULL, 0, 0);
    sprite.Draw(canvas.dc(), 5, 5, kD);
    sprite.Animate(canvas.dc(), 0, 0, kD);
    sprite.Animate(canvas.dc(), 6, 6, 2);
    EXPECT_EQ(0, BackgroundMismatches(canvas));
}

TEST_F(ShadowSpriteTest, WithoutATextureTheShadowIsPureBlack)
{
    ShadowSprite sprite;
    ASSERT_EQ(1, sprite.Load(instance, "FACE", kMagenta, kD, NULL));
    EXPECT_EQ(0, sprite.ShadowTexture(NULL, NULL, 130, 40));
    sprite.Draw(canvas.dc(), 0, 0, kD);
    EXPECT_EQ(0, Mismatches(canvas, FaceScene(0, 0, kD)));
    EXPECT_EQ(RGB(0, 0, 0), canvas.Get(8, 8));
    EXPECT_EQ(RGB(0, 0, 0), canvas.Get(kW + 7, 9));

    // A source that answers null, or an empty texture, leaves it black too.
    PaintBackground(canvas);
    EXPECT_EQ(1, sprite.ShadowTexture(TestTexture, &canvas, 130, 40));
    sprite.Draw(canvas.dc(), 0, 0, kD);
    EXPECT_EQ(1, gAsked);
    EXPECT_EQ(&canvas, gAskedWith);
    EXPECT_EQ(0, Mismatches(canvas, FaceScene(0, 0, kD)));

    DIBTex empty(instance, "NOSUCHTEX");
    gTexture = &empty;
    PaintBackground(canvas);
    sprite.Draw(canvas.dc(), 0, 0, kD);
    EXPECT_EQ(0, Mismatches(canvas, FaceScene(0, 0, kD)));
}

TEST_F(ShadowSpriteTest, TheShadowShowsTheShadowTextureInTextureSpace)
{
    DIBTex texture(instance, "GRADTEX");
    ASSERT_EQ(128, texture.Width());
    gTexture = &texture;
    ShadowSprite sprite;
    ASSERT_EQ(1, sprite.Load(instance, "FACE", kMagenta, kD, NULL));
    EXPECT_EQ(1, sprite.ShadowTexture(TestTexture, &texture, 130, 40));
    EXPECT_EQ(1, sprite.Draw(canvas.dc(), 0, 0, kD));
    // Window point (8, 8) is texture-space point (138, 48): texel (10, 48).
    EXPECT_EQ(ShadowOf(TestRGB(TextureIndex(10, 48))), canvas.Get(8, 8));
    EXPECT_EQ(0, Mismatches(canvas, FaceScene(0, 0, kD, true, 130, 40)));
    EXPECT_EQ(1, gAsked);
    EXPECT_EQ(&texture, gAskedWith);
}

TEST_F(ShadowSpriteTest, MovesRedrawTheFaceAndShadowAreas)
{
    DIBTex texture(instance, "GRADTEX");
    gTexture = &texture;
    ShadowSprite sprite;
    ASSERT_EQ(1, sprite.Load(instance, "FACE", kMagenta, kD, NULL));
    sprite.ShadowTexture(TestTexture, NULL, 20, 70);

    SetBoundsRect(canvas.dc(), NULL, DCB_ENABLE | DCB_RESET);
    EXPECT_EQ(1, sprite.Animate(canvas.dc(), 0, 0, kD));
    RECT first = Bounds(canvas.dc());
    EXPECT_EQ(0, first.left);
    EXPECT_EQ(0, first.top);
    EXPECT_EQ(kW + 8, first.right);
    EXPECT_EQ(kH + 8, first.bottom);
    EXPECT_EQ(0, Mismatches(canvas, FaceScene(0, 0, kD, true, 20, 70)));

    // Pressed: the face sinks to (6, 6), the shadow stays at (8, 8).
    EXPECT_EQ(1, sprite.Animate(canvas.dc(), 6, 6, 2));
    RECT second = Bounds(canvas.dc());
    EXPECT_EQ(0, second.left);
    EXPECT_EQ(0, second.top);
    EXPECT_EQ(kW + 14, second.right);
    EXPECT_EQ(kH + 14, second.bottom);
    EXPECT_EQ(0, Mismatches(canvas, FaceScene(6, 6, 2, true, 20, 70)));

    // And back up through an intermediate depth.
    sprite.Animate(canvas.dc(), 3, 3, 5);
    EXPECT_EQ(0, Mismatches(canvas, FaceScene(3, 3, 5, true, 20, 70)));
    sprite.Animate(canvas.dc(), 0, 0, kD);
    EXPECT_EQ(0, Mismatches(canvas, FaceScene(0, 0, kD, true, 20, 70)));

    // Restoring puts back the background under the face only; the shadow
    // keeps its place.
    EXPECT_EQ(1, sprite.AnimateDone(canvas.dc(), 1));
    Scene shadowOnly = FaceScene(0, 0, kD, true, 20, 70);
    int wrong = 0;
    for (int y = 0; y < canvas.height(); y++)
        for (int x = 0; x < canvas.width(); x++) {
            COLORREF want = (x < kW && y < kH) ? Background(x, y) : shadowOnly.At(x, y);
            wrong += canvas.Get(x, y) != want;
        }
    EXPECT_EQ(0, wrong);
}

namespace {

int gLoads = 0;
HBITMAP CountingLoader(HINSTANCE instance, LPCSTR name)
{
    gLoads++;
    return LoadBitmapA(instance, name);
}

} // namespace

TEST_F(ShadowSpriteTest, ASecondLoadKeepsTheFirstPicture)
{
    // A sprite: the second picture, frame count and key are not taken.
    Sprite plain;
    gLoads = 0;
    ASSERT_EQ(1, plain.Load(instance, "SOLID", NULL, kMagenta, 2, CountingLoader));
    EXPECT_EQ(1, gLoads);
    EXPECT_EQ(1, plain.Load(instance, "FACE", NULL, RGB(0, 0, 0), 1, CountingLoader));
    EXPECT_EQ(1, gLoads);
    EXPECT_EQ(10, plain.FrameWidth());
    EXPECT_EQ(10, plain.FrameHeight());
    EXPECT_EQ(1, plain.Draw(canvas.dc(), 0, 0, 1));   // still two frames
    for (int x = 0; x < 10; x++)
        EXPECT_EQ(SolidColour(10 + x, 5), canvas.Get(x, 5)) << x;

    // A shadow sprite keeps its picture and its depth.
    PaintBackground(canvas);
    ShadowSprite sprite;
    gLoads = 0;
    ASSERT_EQ(1, sprite.Load(instance, "SOLID", kMagenta, kD, CountingLoader));
    EXPECT_EQ(1, sprite.Load(instance, "FACE", RGB(0, 0, 0), 2, CountingLoader));
    EXPECT_EQ(1, gLoads);
    EXPECT_EQ(20, sprite.Width());
    EXPECT_EQ(kD, sprite.Depth());
    sprite.Draw(canvas.dc(), 0, 0, kD);
    Scene s = {0, 0, kD, false, 0, 0, AllOpaque, SolidColour, 20, 10};
    EXPECT_EQ(0, Mismatches(canvas, s));
}

TEST_F(ShadowSpriteTest, AMissingBitmapDrawsNothing)
{
    ShadowSprite sprite;
    EXPECT_EQ(0, sprite.Load(instance, "NOSUCHFACE", kMagenta, kD, NULL));
    EXPECT_FALSE(sprite.IsLoaded());
    EXPECT_EQ(0, sprite.Draw(canvas.dc(), 0, 0, kD));
    EXPECT_EQ(0, sprite.Animate(canvas.dc(), 0, 0, kD));
    EXPECT_EQ(1, sprite.AnimateDone(canvas.dc(), 1));
    EXPECT_EQ(0, BackgroundMismatches(canvas));
}

namespace {

bool ShadowRound(HINSTANCE instance, DibCanvas &canvas)
{
    DIBTex texture(instance, "GRADTEX");
    gTexture = &texture;
    ShadowSprite sprite;
    if (!sprite.Load(instance, "FACE", kMagenta, kD, NULL))
        return false;
    sprite.ShadowTexture(TestTexture, NULL, 5, 5);
    DcSelection sel = Selection(canvas.dc());
    COLORREF text = GetTextColor(canvas.dc()), back = GetBkColor(canvas.dc());
    sprite.Animate(canvas.dc(), 0, 0, 8);
    sprite.Animate(canvas.dc(), 6, 6, 2);
    sprite.Draw(canvas.dc(), 1, 1, 4);
    sprite.AnimateDone(canvas.dc(), 1);
    sprite.Animate(canvas.dc(), 0, 0, 8);
    gTexture = NULL;
    return sel == Selection(canvas.dc()) && text == GetTextColor(canvas.dc()) &&
           back == GetBkColor(canvas.dc());
}

} // namespace

TEST_F(ShadowSpriteTest, SelectsBackWhatItSelectsAndFreesItsBitmaps)
{
    SetTextColor(canvas.dc(), RGB(1, 100, 1));
    SetBkColor(canvas.dc(), RGB(100, 1, 1));
    EXPECT_TRUE(ShadowRound(instance, canvas));
    int before = GdiObjectCount();
    ASSERT_GE(before, 0) << "GDI objects cannot be counted here";
    for (int i = 0; i < 3; i++)
        EXPECT_TRUE(ShadowRound(instance, canvas));
    EXPECT_EQ(before, GdiObjectCount());
}

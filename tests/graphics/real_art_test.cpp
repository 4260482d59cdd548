// The installer's own pictures, from the resources this test carries:
// both textures in all three variants, the picture strips split into
// frames, and the button faces with their shadows.
#include <windows.h>
#include <gtest/gtest.h>

#include "app/globals.h"
#include "graphics/dib_tex.h"
#include "graphics/shadow_sprite.h"
#include "graphics/sprite.h"
#include "tests/support/gfx_dib.h"
#include "tests/support/win_test.h"

using namespace gfxtest;
using namespace wintest;

namespace {

const COLORREF kMagenta = RGB(255, 0, 255);

// The stored colour of pixel (x, y), counted from the top, of an 8-bit
// bitmap resource.
struct StoredBitmap {
    BITMAPINFO *info = NULL;
    HGLOBAL resource = NULL;
    DWORD size = 0;
    ~StoredBitmap() { DestroyDIB(resource); }
    bool Load(const char *name) { return LoadDIB(ghInst, name, &info, &resource, &size) != 0; }
    COLORREF At(int x, int y) const
    {
        const BITMAPINFOHEADER &h = info->bmiHeader;
        const BYTE *bits = reinterpret_cast<const BYTE *>(info) + h.biSize + 1024;
        int stride = (h.biWidth + 3) & ~3;
        const RGBQUAD &q = info->bmiColors[bits[(size_t)(h.biHeight - 1 - y) * stride + x]];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
};

// Pixels of a device bitmap as a picture loader gives it.
Pixels LoadedPixels(const char *name)
{
    Pixels p;
    HBITMAP bmp = LoadBitmapA(ghInst, name);
    if (!bmp)
        return p;
    BITMAP bm;
    GetObjectA(bmp, sizeof bm, &bm);
    DibCanvas canvas(bm.bmWidth, bm.bmHeight);
    HDC mem = CreateCompatibleDC(canvas.dc());
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(canvas.dc(), 0, 0, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bmp);
    return canvas.Snapshot();
}

} // namespace

TEST(RealArt, BothTexturesBuildInThreeVariants)
{
    const char *names[] = {"QzSwirl", "BlueTex"};
    for (const char *name : names) {
        StoredBitmap stored;
        ASSERT_TRUE(stored.Load(name)) << name;
        EXPECT_EQ(1, ValidTextureDIB(stored.info, stored.size, NULL)) << name;
        DIBTex tex(ghInst, name);
        ASSERT_EQ(128, tex.Width()) << name;
        ASSERT_EQ(128, tex.Height()) << name;
        EXPECT_TRUE(tex.Palette() != NULL) << name;
        DibCanvas canvas(128, 128);
        RECT all = {0, 0, 128, 128};
        for (int variant = TEX_SHADOW; variant <= TEX_HILIGHT; variant++) {
            tex.TexMap(canvas.dc(), 0, 0, all, variant, SRCCOPY);
            int wrong = 0;
            for (int y = 0; y < 128; y++)
                for (int x = 0; x < 128; x++) {
                    COLORREF c = stored.At(x, y);
                    COLORREF want = variant == TEX_SHADOW    ? ShadowOf(c)
                                    : variant == TEX_HILIGHT ? HilightOf(c)
                                                             : c;
                    wrong += canvas.Get(x, y) != want;
                }
            EXPECT_EQ(0, wrong) << name << " variant " << variant;
        }
    }
}

TEST(RealArt, PictureStripsSplitIntoTheirFrames)
{
    struct Strip {
        const char *name;
        int frames, w, h;
        COLORREF key;
    } strips[] = {
        {"Alert", 2, 80, 86, kMagenta},
        {"Question", 2, 80, 86, kMagenta},
        {"bullet", 2, 24, 24, kMagenta},
        {"CheckBox", 6, 30, 22, RGB(255, 255, 255)},
    };
    const COLORREF back = RGB(12, 34, 56);
    for (const Strip &s : strips) {
        Pixels source = LoadedPixels(s.name);
        ASSERT_EQ(s.w * s.frames, source.width) << s.name;
        Sprite sprite;
        // Loaded through its colour table, as the controls load it; the
        // pixels are those the system's own loader gives.
        ASSERT_EQ(1, sprite.Load(ghInst, s.name, NULL, s.key, s.frames, LoadDeviceBitmap))
            << s.name;
        EXPECT_EQ(s.w, sprite.FrameWidth()) << s.name;
        EXPECT_EQ(s.h, sprite.FrameHeight()) << s.name;
        for (int f = 0; f < s.frames; f++) {
            DibCanvas canvas(s.w, s.h, back);
            EXPECT_EQ(1, sprite.Draw(canvas.dc(), 0, 0, f));
            int wrong = 0, transparent = 0;
            for (int y = 0; y < s.h; y++)
                for (int x = 0; x < s.w; x++) {
                    COLORREF c = source.Color(f * s.w + x, y);
                    transparent += c == s.key;
                    wrong += canvas.Get(x, y) != (c == s.key ? back : c);
                }
            EXPECT_EQ(0, wrong) << s.name << " frame " << f;
            // Every picture has see-through corners.
            EXPECT_GT(transparent, 0) << s.name << " frame " << f;
        }
    }
}

TEST(RealArt, ButtonFacesFloatOverABlackShadow)
{
    struct Face {
        const char *name;
        int w, h;
    } faces[] = {{"OK", 54, 32}, {"Cancel", 78, 20}};
    const COLORREF back = RGB(200, 180, 160);
    for (const Face &f : faces) {
        Pixels source = LoadedPixels(f.name);
        ShadowSprite sprite;
        ASSERT_EQ(1, sprite.Load(ghInst, f.name, kMagenta, 8, LoadDeviceBitmap)) << f.name;
        EXPECT_EQ(f.w, sprite.Width());
        EXPECT_EQ(f.h, sprite.Height());
        DibCanvas canvas(f.w + 8, f.h + 8, back);
        sprite.Draw(canvas.dc(), 0, 0, 8);
        int wrong = 0, shadow = 0;
        for (int y = 0; y < f.h + 8; y++)
            for (int x = 0; x < f.w + 8; x++) {
                bool inFace = x < f.w && y < f.h && source.Color(x, y) != kMagenta;
                bool inShadow = x >= 8 && y >= 8 && source.Color(x - 8, y - 8) != kMagenta;
                COLORREF want = inFace ? source.Color(x, y) : inShadow ? RGB(0, 0, 0) : back;
                shadow += !inFace && inShadow;
                wrong += canvas.Get(x, y) != want;
            }
        EXPECT_EQ(0, wrong) << f.name;
        EXPECT_GT(shadow, 50) << f.name;
    }
}

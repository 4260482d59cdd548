// DIBTex: colour tables of the three variants, validation of the bitmap
// resource, and tiling in texture space, checked on real pixels.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>

#include "graphics/dib_tex.h"
#include "tests/support/gfx_dib.h"
#include "tests/support/win_test.h"

using namespace gfxtest;
using namespace wintest;

namespace {

const COLORREF kSentinel = RGB(1, 2, 3);

COLORREF Hilight(COLORREF c)
{
    auto up = [](int v) { return v + v / 2 + 40 > 255 ? 255 : v + v / 2 + 40; };
    return RGB(up(GetRValue(c)), up(GetGValue(c)), up(GetBValue(c)));
}

COLORREF Shadow(COLORREF c)
{
    auto down = [](int v) { return v - 60 < 0 ? 0 : v - 60; };
    return RGB(down(GetRValue(c)), down(GetGValue(c)), down(GetBValue(c)));
}

// Expected colour of texture-space pixel (x, y) of the test texture.
COLORREF TexelAt(int x, int y, int variant, int size = 128)
{
    COLORREF c = TestRGB(TextureIndex(((x % size) + size) % size, ((y % size) + size) % size));
    return variant == TEX_HILIGHT ? Hilight(c) : variant == TEX_SHADOW ? Shadow(c) : c;
}

// A BITMAPINFO with a full table, as the resource holds it.
struct Info {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

Info MakeInfo()
{
    Info info;
    memset(&info, 0, sizeof info);
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = 4;
    info.header.biHeight = 4;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    for (int i = 0; i < 256; i++)
        info.colours[i] = TestColour(i);
    return info;
}

BITMAPINFOHEADER *Header(Bytes &dib) { return reinterpret_cast<BITMAPINFOHEADER *>(dib.data()); }

class TextureModule : public ::testing::Test {
protected:
    // Built once per process, on first use, so that a failure shows as a
    // failed test rather than a skipped one.
    static void Build()
    {
        module = new ResourceModule;
        module->Add("GRADTEX", MakeTestTexture(128, 128));
        module->Add("ODDTEX", MakeTestTexture(37, 21));

        Bytes shortTex = MakeTestTexture(128, 128);
        shortTex.resize(shortTex.size() - 1);
        module->Add("SHORTTEX", shortTex);
        Bytes headOnly = MakeTestTexture(8, 8);
        headOnly.resize(sizeof(BITMAPINFOHEADER));
        module->Add("HEADONLY", headOnly);
        Bytes fourBit = MakeTestTexture(16, 16);
        Header(fourBit)->biBitCount = 4;
        module->Add("FOURBIT", fourBit);
        Bytes topDown = MakeTestTexture(16, 16);
        Header(topDown)->biHeight = -16;
        module->Add("TOPDOWN", topDown);
        Bytes huge = MakeTestTexture(16, 16);
        Header(huge)->biWidth = 0x7FFFFFF0;
        module->Add("HUGETEX", huge);
        // A header that counts 16 colours over a full table whose pixels
        // use every index.
        Bytes fewColours = MakeTestTexture(16, 16);
        Header(fewColours)->biClrUsed = 16;
        module->Add("FEWCOLOURS", fewColours);
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
    }

    static ResourceModule *module;
    static HINSTANCE instance;
};

ResourceModule *TextureModule::module = NULL;
HINSTANCE TextureModule::instance = NULL;

} // namespace

TEST(DibTexTables, HighlightBrightensAndSaturates)
{
    Info info = MakeInfo();
    BITMAPINFO *src = CopyBMInfo(reinterpret_cast<BITMAPINFO *>(&info));
    ASSERT_TRUE(src != NULL);
    BITMAPINFO *hi = HilightPal(src, 40, 2);
    ASSERT_TRUE(hi != NULL);
    // Entry i has red i and green 255 - i.
    EXPECT_EQ(40, hi->bmiColors[0].rgbRed);
    EXPECT_EQ(190, hi->bmiColors[100].rgbRed);
    EXPECT_EQ(254, hi->bmiColors[143].rgbRed);
    EXPECT_EQ(255, hi->bmiColors[144].rgbRed);
    EXPECT_EQ(255, hi->bmiColors[255].rgbRed);
    EXPECT_EQ(254, hi->bmiColors[255 - 143].rgbGreen);
    EXPECT_EQ(255, hi->bmiColors[255 - 144].rgbGreen);
    for (int i = 0; i < 256; i++) {
        int b = TestColour(i).rgbBlue;
        EXPECT_EQ(b + b / 2 + 40 > 255 ? 255 : b + b / 2 + 40, hi->bmiColors[i].rgbBlue) << i;
        EXPECT_EQ(TestColour(i).rgbReserved, hi->bmiColors[i].rgbReserved) << i;
    }
    // The working copies keep the header but count all 256 entries.
    info.header.biClrUsed = 256;
    EXPECT_EQ(0, memcmp(&hi->bmiHeader, &info.header, sizeof info.header));
    EXPECT_EQ(0, memcmp(&src->bmiHeader, &info.header, sizeof info.header));
    FreeBMInfo(hi);
    FreeBMInfo(src);
}

TEST(DibTexTables, ShadowDarkensAndClampsAtZero)
{
    Info info = MakeInfo();
    BITMAPINFO *sh = ShadowPal(reinterpret_cast<BITMAPINFO *>(&info), 60);
    ASSERT_TRUE(sh != NULL);
    EXPECT_EQ(0, sh->bmiColors[59].rgbRed);
    EXPECT_EQ(0, sh->bmiColors[60].rgbRed);
    EXPECT_EQ(1, sh->bmiColors[61].rgbRed);
    EXPECT_EQ(195, sh->bmiColors[255].rgbRed);
    EXPECT_EQ(0, sh->bmiColors[255 - 60].rgbGreen);
    EXPECT_EQ(1, sh->bmiColors[255 - 61].rgbGreen);
    for (int i = 0; i < 256; i++)
        EXPECT_EQ(TestColour(i).rgbReserved, sh->bmiColors[i].rgbReserved) << i;
    FreeBMInfo(sh);
}

TEST(DibTexTables, CopyKeepsEveryEntryAndPaletteTakesNormalColours)
{
    Info info = MakeInfo();
    BITMAPINFO *tables[3];
    tables[TEX_NORMAL] = CopyBMInfo(reinterpret_cast<BITMAPINFO *>(&info));
    tables[TEX_HILIGHT] = HilightPal(tables[TEX_NORMAL], 40, 2);
    tables[TEX_SHADOW] = ShadowPal(tables[TEX_NORMAL], 60);
    ASSERT_TRUE(tables[0] && tables[1] && tables[2]);
    EXPECT_EQ(0, memcmp(tables[TEX_NORMAL]->bmiColors, info.colours, sizeof info.colours));

    HPALETTE pal = CreateBestPalette(tables);
    ASSERT_TRUE(pal != NULL);
    PALETTEENTRY entries[256];
    ASSERT_EQ(256u, GetPaletteEntries(pal, 0, 256, entries));
    for (int i = 0; i < 256; i++) {
        EXPECT_EQ(info.colours[i].rgbRed, entries[i].peRed) << i;
        EXPECT_EQ(info.colours[i].rgbGreen, entries[i].peGreen) << i;
        EXPECT_EQ(info.colours[i].rgbBlue, entries[i].peBlue) << i;
        EXPECT_EQ(0, entries[i].peFlags) << i;
    }
    DeleteObject(pal);
    for (BITMAPINFO *t : tables)
        FreeBMInfo(t);
}

TEST(DibTexValidation, AcceptsOnlyCompleteEightBitBottomUpBitmaps)
{
    Bytes good = MakeTestTexture(128, 128);
    const BITMAPINFO *info = reinterpret_cast<const BITMAPINFO *>(good.data());
    DWORD offset = 0;
    EXPECT_EQ(1, ValidTextureDIB(info, (DWORD)good.size(), &offset));
    EXPECT_EQ(40u + 1024u, offset);
    EXPECT_EQ(0, ValidTextureDIB(info, (DWORD)good.size() - 1, NULL));
    EXPECT_EQ(0, ValidTextureDIB(info, 40 + 1023, NULL));
    EXPECT_EQ(0, ValidTextureDIB(info, 39, NULL));
    EXPECT_EQ(0, ValidTextureDIB(NULL, 100000, NULL));

    // Rows are padded to four bytes: 37 pixels take 40 bytes a row.
    Bytes odd = MakeTestTexture(37, 3);
    ASSERT_EQ(40u + 1024u + 3 * 40u, odd.size());
    const BITMAPINFO *oddInfo = reinterpret_cast<const BITMAPINFO *>(odd.data());
    EXPECT_EQ(1, ValidTextureDIB(oddInfo, (DWORD)odd.size(), NULL));
    EXPECT_EQ(0, ValidTextureDIB(oddInfo, (DWORD)odd.size() - 3, NULL));

    // A header that counts fewer colours still has its full table read.
    Header(good)->biClrUsed = 16;
    EXPECT_EQ(1, ValidTextureDIB(info, (DWORD)good.size(), &offset));
    EXPECT_EQ(40u + 1024u, offset);
}

TEST(DibTexValidation, RefusesOtherFormatsAndAbsurdSizes)
{
    struct Case {
        const char *what;
        void (*spoil)(BITMAPINFOHEADER *h);
    } cases[] = {
        {"4-bit", [](BITMAPINFOHEADER *h) { h->biBitCount = 4; }},
        {"24-bit", [](BITMAPINFOHEADER *h) { h->biBitCount = 24; }},
        {"RLE8", [](BITMAPINFOHEADER *h) { h->biCompression = BI_RLE8; }},
        {"core header", [](BITMAPINFOHEADER *h) { h->biSize = 12; }},
        {"v5 header", [](BITMAPINFOHEADER *h) { h->biSize = 124; }},
        {"257 colours", [](BITMAPINFOHEADER *h) { h->biClrUsed = 257; }},
        {"top-down", [](BITMAPINFOHEADER *h) { h->biHeight = -h->biHeight; }},
        {"zero width", [](BITMAPINFOHEADER *h) { h->biWidth = 0; }},
        {"negative width", [](BITMAPINFOHEADER *h) { h->biWidth = -16; }},
        {"huge width", [](BITMAPINFOHEADER *h) { h->biWidth = 0x7FFFFFFF; }},
        {"huge height", [](BITMAPINFOHEADER *h) { h->biHeight = 0x40000000; }},
        {"overflowing area", [](BITMAPINFOHEADER *h) { h->biWidth = h->biHeight = 65536; }},
        {"two planes", [](BITMAPINFOHEADER *h) { h->biPlanes = 2; }},
    };
    for (const Case &c : cases) {
        Bytes dib = MakeTestTexture(16, 16);
        c.spoil(Header(dib));
        EXPECT_EQ(0, ValidTextureDIB(reinterpret_cast<const BITMAPINFO *>(dib.data()),
                                     (DWORD)dib.size(), NULL))
            << c.what;
    }
}

TEST_F(TextureModule, BuildsThreeVariantsFromTheResource)
{
    const struct {
        const char *name;
        int size;
    } rows[] = {{"GRADTEX", 128}, {"FEWCOLOURS", 16}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const int n = row.size;
        DIBTex tex(instance, row.name);
        ASSERT_EQ(n, tex.Width());
        ASSERT_EQ(n, tex.Height());
        EXPECT_TRUE(tex.Palette() != NULL);
        DibCanvas canvas(n, n, kSentinel);
        RECT all = {0, 0, n, n};
        for (int variant = TEX_SHADOW; variant <= TEX_HILIGHT; variant++) {
            ASSERT_EQ(1, tex.TexMap(canvas.dc(), 0, 0, all, variant, SRCCOPY));
            int wrong = 0;
            for (int y = 0; y < n; y++)
                for (int x = 0; x < n; x++)
                    wrong += canvas.Get(x, y) != TexelAt(x, y, variant, n);
            EXPECT_EQ(0, wrong) << "variant " << variant;
        }
    }
    // Resource names are found without regard to case.
    DIBTex lower(instance, "gradtex");
    EXPECT_EQ(128, lower.Width());

    // Asked for the normal colours alone, it builds only those.
    DIBTex normal(instance, "GRADTEX", 1 << TEX_NORMAL);
    ASSERT_EQ(128, normal.Width());
    EXPECT_TRUE(normal.Palette() != NULL);
    EXPECT_TRUE(normal.Bitmap(TEX_SHADOW) == NULL && normal.Bitmap(TEX_HILIGHT) == NULL);
    DibCanvas canvas(128, 128, kSentinel);
    RECT all = {0, 0, 128, 128};
    EXPECT_EQ(0, normal.TexMap(canvas.dc(), 0, 0, all, TEX_HILIGHT, SRCCOPY));
    EXPECT_EQ(kSentinel, canvas.Get(5, 5));
    ASSERT_EQ(1, normal.TexMap(canvas.dc(), 0, 0, all, TEX_NORMAL, SRCCOPY));
    EXPECT_EQ(TexelAt(5, 5, TEX_NORMAL), canvas.Get(5, 5));
    EXPECT_EQ(TexelAt(127, 127, TEX_NORMAL), canvas.Get(127, 127));

    // Drawn again from its resource, it shows the same; a resource of
    // another size, or an empty texture, is not drawn from.
    EXPECT_EQ(1, normal.Refresh(instance, "GRADTEX"));
    canvas.Fill(kSentinel);
    normal.TexMap(canvas.dc(), 0, 0, all, TEX_NORMAL, SRCCOPY);
    EXPECT_EQ(TexelAt(5, 5, TEX_NORMAL), canvas.Get(5, 5));
    EXPECT_EQ(TexelAt(127, 127, TEX_NORMAL), canvas.Get(127, 127));
    EXPECT_EQ(0, normal.Refresh(instance, "FEWCOLOURS"));
    DIBTex missing(instance, "NOSUCHTEX");
    EXPECT_EQ(0, missing.Refresh(instance, "GRADTEX"));
}

TEST_F(TextureModule, MissingOrUnsoundResourcesGiveEmptyTextures)
{
    const char *names[] = {"NOSUCHTEX", "SHORTTEX", "HEADONLY", "FOURBIT", "TOPDOWN", "HUGETEX"};
    for (const char *name : names) {
        DIBTex tex(instance, name);
        EXPECT_EQ(0, tex.Width()) << name;
        EXPECT_EQ(0, tex.Height()) << name;
        EXPECT_TRUE(tex.Palette() == NULL) << name;
        for (int v = 0; v < 3; v++)
            EXPECT_TRUE(tex.Bitmap(v) == NULL) << name;
        DibCanvas canvas(64, 64, kSentinel);
        RECT all = {0, 0, 64, 64};
        EXPECT_EQ(0, tex.TexMap(canvas.dc(), 0, 0, all, TEX_NORMAL, SRCCOPY)) << name;
        EXPECT_EQ(kSentinel, canvas.Get(0, 0)) << name;
        EXPECT_EQ(kSentinel, canvas.Get(63, 63)) << name;
    }
}

TEST_F(TextureModule, TilesAlignInTextureSpace)
{
    DIBTex tex(instance, "GRADTEX");
    DibCanvas canvas(300, 200, kSentinel);
    RECT all = {0, 0, 300, 200};
    ASSERT_EQ(1, tex.TexMap(canvas.dc(), 5, 30, all, TEX_NORMAL, SRCCOPY));
    // The first pixel painted at the origin is texture pixel (5, 30).
    EXPECT_EQ(TexelAt(5, 30, TEX_NORMAL), canvas.Get(0, 0));
    int wrong = 0;
    for (int y = 0; y < 200; y++)
        for (int x = 0; x < 300; x++)
            wrong += canvas.Get(x, y) != TexelAt(x + 5, y + 30, TEX_NORMAL);
    EXPECT_EQ(0, wrong);

    // An odd-sized tile repeats on its own period.
    DIBTex odd(instance, "ODDTEX");
    ASSERT_EQ(37, odd.Width());
    ASSERT_EQ(21, odd.Height());
    canvas.Fill(kSentinel);
    ASSERT_EQ(1, odd.TexMap(canvas.dc(), 3, 4, all, TEX_HILIGHT, SRCCOPY));
    wrong = 0;
    for (int y = 0; y < 200; y += 7)
        for (int x = 0; x < 300; x += 3)
            wrong += canvas.Get(x, y) != Hilight(TestRGB(TextureIndex((x + 3) % 37, (y + 4) % 21)));
    EXPECT_EQ(0, wrong);
}

TEST_F(TextureModule, DrawsWholeTilesOverTheColumnsAndRowsTouched)
{
    DIBTex tex(instance, "GRADTEX");
    DibCanvas canvas(400, 300, kSentinel);

    // 0..128 touches one column: nothing right of it is painted.
    RECT one = {0, 0, 128, 128};
    tex.TexMap(canvas.dc(), 0, 0, one, TEX_NORMAL, SRCCOPY);
    EXPECT_EQ(TexelAt(127, 127, TEX_NORMAL), canvas.Get(127, 127));
    EXPECT_EQ(kSentinel, canvas.Get(128, 0));
    EXPECT_EQ(kSentinel, canvas.Get(0, 128));

    // 0..129 touches two: the second tile is drawn whole, to x = 255.
    canvas.Fill(kSentinel);
    RECT two = {0, 0, 129, 128};
    tex.TexMap(canvas.dc(), 0, 0, two, TEX_NORMAL, SRCCOPY);
    EXPECT_EQ(TexelAt(255, 0, TEX_NORMAL), canvas.Get(255, 0));
    EXPECT_EQ(kSentinel, canvas.Get(256, 0));
    EXPECT_EQ(kSentinel, canvas.Get(0, 128));

    // With y = 30 the rows start 30 pixels above the origin: rows 0 and 1
    // cover device rows -30 to 225.
    canvas.Fill(kSentinel);
    RECT shifted = {0, 0, 128, 128};
    tex.TexMap(canvas.dc(), 0, 30, shifted, TEX_NORMAL, SRCCOPY);
    EXPECT_EQ(TexelAt(0, 255, TEX_NORMAL), canvas.Get(0, 225));
    EXPECT_EQ(kSentinel, canvas.Get(0, 226));

    // An area away from the origin paints only the tiles around it.
    canvas.Fill(kSentinel);
    RECT inner = {200, 150, 210, 160};
    tex.TexMap(canvas.dc(), 0, 0, inner, TEX_NORMAL, SRCCOPY);
    EXPECT_EQ(kSentinel, canvas.Get(127, 127));
    EXPECT_EQ(TexelAt(128, 128, TEX_NORMAL), canvas.Get(128, 128));
    EXPECT_EQ(TexelAt(255, 255, TEX_NORMAL), canvas.Get(255, 255));
    EXPECT_EQ(kSentinel, canvas.Get(256, 256));
}

TEST_F(TextureModule, HandsTheRasterOperationToTheTransfer)
{
    DIBTex tex(instance, "GRADTEX");
    DibCanvas canvas(128, 128, RGB(0xF0, 0x0F, 0xFF));
    RECT all = {0, 0, 128, 128};
    tex.TexMap(canvas.dc(), 0, 0, all, TEX_SHADOW, SRCAND);
    for (int y = 0; y < 128; y += 9)
        for (int x = 0; x < 128; x += 11) {
            COLORREF t = TexelAt(x, y, TEX_SHADOW);
            EXPECT_EQ(RGB(GetRValue(t) & 0xF0, GetGValue(t) & 0x0F, GetBValue(t)), canvas.Get(x, y));
        }
}

namespace {

// Builds textures and tiles with them; true when the DC's selection came
// through unchanged.
bool TextureRound(HINSTANCE instance)
{
    DIBTex tex(instance, "GRADTEX");
    DibCanvas canvas(200, 200);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(9, 9, 9));
    HGDIOBJ oldPen = SelectObject(canvas.dc(), pen);
    DcSelection sel = Selection(canvas.dc());
    RECT all = {0, 0, 200, 200};
    tex.TexMap(canvas.dc(), 17, 3, all, TEX_HILIGHT, SRCCOPY);
    tex.Refresh(instance, "GRADTEX");
    bool same = sel == Selection(canvas.dc());
    SelectObject(canvas.dc(), oldPen);
    DeleteObject(pen);
    DIBTex missing(instance, "NOSUCHTEX");
    DIBTex shortTex(instance, "SHORTTEX");
    return same;
}

} // namespace

TEST_F(TextureModule, LeavesTheCallersDcAsItWasAndFreesEverything)
{
    // The first round lets the system set up its cached screen DC.
    EXPECT_TRUE(TextureRound(instance));
    int before = GdiObjectCount();
    ASSERT_GE(before, 0) << "GDI objects cannot be counted here";
    for (int i = 0; i < 3; i++)
        EXPECT_TRUE(TextureRound(instance));
    EXPECT_EQ(before, GdiObjectCount());
}

TEST(DibTexOffset, ControlOffsetIsClientOriginFromTheParentsOuterCorner)
{
    HWND parent = CreateWindowExA(0, "STATIC", "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 40,
                                  300, 200, NULL, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(parent != NULL);
    HWND child = CreateWindowExA(WS_EX_CLIENTEDGE, "STATIC", "", WS_CHILD | WS_VISIBLE, 30, 20, 60,
                                 40, parent, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(child != NULL);
    RECT frame;
    GetWindowRect(parent, &frame);
    POINT client = {0, 0};
    ClientToScreen(child, &client);
    POINT offset = {-1, -1};
    DIBTex::ControlOffset(child, offset);
    EXPECT_EQ(client.x - frame.left, offset.x);
    EXPECT_EQ(client.y - frame.top, offset.y);
    // The parent's frame, caption, the child's place and its own edge.
    POINT parentClient = {0, 0};
    ClientToScreen(parent, &parentClient);
    EXPECT_EQ(parentClient.x - frame.left + 30 + GetSystemMetrics(SM_CXEDGE), offset.x);
    EXPECT_EQ(parentClient.y - frame.top + 20 + GetSystemMetrics(SM_CYEDGE), offset.y);
    DestroyWindow(parent);
}

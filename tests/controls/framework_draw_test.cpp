// Drawing and text utilities of the control base: the sunken box, outlined
// text, text width, field splitting, handle release and resource loading.
#include <gtest/gtest.h>

#include <cstring>

#include "controls/control_ctl.h"
#include "controls/control_mgr.h"
#include "controls/control_class.h"
#include "controls/control_res.h"
#include "tests/support/ctl_page.h"
#include "tests/support/gfx_dib.h"
#include "tests/support/win_test.h"

namespace {

class DrawProbe : public MyControlCtl {
public:
    void OnPaint(PAINTSTRUCT &) override {}
};

const COLORREF kMarker = RGB(255, 0, 255);

// Pixel map of a box on (0, 0, 9, 9): D dark grey, B black, L light grey,
// W white, f fill, . untouched.
const char *const kBox[10] = {
    "DDDDDDDDDW",
    "DBBBBBBBLW",
    "DBffffffLW",
    "DBffffffLW",
    "DBffffffLW",
    "DBffffffLW",
    "DBffffffLW",
    "DBffffffLW",
    "DLLLLLLLLW",
    "WWWWWWWWWW",
};

COLORREF BoxColour(char c, COLORREF dark, COLORREF light, COLORREF fill)
{
    switch (c) {
    case 'D': return dark;
    case 'B': return RGB(0, 0, 0);
    case 'L': return light;
    case 'W': return RGB(255, 255, 255);
    case 'f': return fill;
    default: return kMarker;
    }
}

// Checks a 12 x 12 canvas against kBox drawn at (ox, oy).
void ExpectBox(const wintest::DibCanvas &canvas, int ox, int oy, COLORREF dark, COLORREF light,
               COLORREF fill)
{
    for (int y = 0; y < canvas.height(); y++) {
        for (int x = 0; x < canvas.width(); x++) {
            int bx = x - ox, by = y - oy;
            char c = (bx >= 0 && bx < 10 && by >= 0 && by < 10) ? kBox[by][bx] : '.';
            EXPECT_EQ(BoxColour(c, dark, light, fill), canvas.Get(x, y)) << "at " << x << "," << y;
        }
    }
}

bool SamePixels(const wintest::DibCanvas &a, const wintest::DibCanvas &b)
{
    for (int y = 0; y < a.height(); y++)
        for (int x = 0; x < a.width(); x++)
            if (a.Get(x, y) != b.Get(x, y))
                return false;
    return true;
}

} // namespace

TEST(ControlDraw, Ctl3dBoxPaintsATwoPixelSunkenBorder)
{
    ctltest::Framework up;
    DrawProbe probe;
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    {
        wintest::DibCanvas canvas(12, 12, kMarker);
        ASSERT_TRUE(canvas.ok());
        wintest::DcSelection before = wintest::Selection(canvas.dc());
        RECT rc = {0, 0, 9, 9};
        probe.Ctl3dBox(canvas.dc(), rc, red);
        GdiFlush();
        EXPECT_TRUE(before == wintest::Selection(canvas.dc()));
        ExpectBox(canvas, 0, 0, RGB(128, 128, 128), RGB(192, 192, 192), RGB(255, 0, 0));
    }
    {
        // Elsewhere and without a fill brush: the inside is left alone.
        wintest::DibCanvas canvas(12, 12, kMarker);
        RECT rc = {2, 1, 11, 10};
        probe.Ctl3dBox(canvas.dc(), rc, NULL);
        GdiFlush();
        ExpectBox(canvas, 2, 1, RGB(128, 128, 128), RGB(192, 192, 192), kMarker);
    }
    DeleteObject(red);
}

TEST(ControlDraw, Ctl3dBoxWithoutGreyPensKeepsThePenBefore)
{
    // No manager: both grey pens are missing, so the light line is drawn in
    // black and the dark line in white.
    ASSERT_EQ(NULL, ControlMgr);
    DrawProbe probe;
    wintest::DibCanvas canvas(12, 12, kMarker);
    wintest::DcSelection before = wintest::Selection(canvas.dc());
    RECT rc = {0, 0, 9, 9};
    probe.Ctl3dBox(canvas.dc(), rc, (HBRUSH)GetStockObject(WHITE_BRUSH));
    GdiFlush();
    EXPECT_TRUE(before == wintest::Selection(canvas.dc()));
    ExpectBox(canvas, 0, 0, RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255));
}

TEST(ControlDraw, OutlineTextAndTextWidth)
{
    ctltest::Framework up;
    DrawProbe probe;
    HFONT font = ControlMgr->GetFont();
    ASSERT_TRUE(font);
    const char *text = "Ready";
    const COLORREF back = RGB(0, 0, 128);

    wintest::DibCanvas drawn(60, 24, back), reference(60, 24, back), reversed(60, 24, back);
    HDC dcs[3] = {drawn.dc(), reference.dc(), reversed.dc()};
    HGDIOBJ old[3];
    for (int i = 0; i < 3; i++) {
        old[i] = SelectObject(dcs[i], font);
        SetBkMode(dcs[i], TRANSPARENT);
        SetTextColor(dcs[i], RGB(1, 2, 3));
    }

    wintest::DcSelection before = wintest::Selection(drawn.dc());
    MyControlCtl::OutlineText(drawn.dc(), 10, 6, text, RGB(255, 255, 255), RGB(0, 0, 0));
    EXPECT_TRUE(before == wintest::Selection(drawn.dc()));
    EXPECT_EQ(RGB(1, 2, 3), GetTextColor(drawn.dc()));   // restored
    EXPECT_EQ(TRANSPARENT, GetBkMode(drawn.dc()));

    // The same passes by hand: outline left, right, up, down, then letters.
    const int n = (int)strlen(text);
    SetTextColor(reference.dc(), RGB(255, 255, 255));
    TextOutA(reference.dc(), 9, 6, text, n);
    TextOutA(reference.dc(), 11, 6, text, n);
    TextOutA(reference.dc(), 10, 5, text, n);
    TextOutA(reference.dc(), 10, 7, text, n);
    SetTextColor(reference.dc(), RGB(0, 0, 0));
    TextOutA(reference.dc(), 10, 6, text, n);
    // Letters first and outline after gives another picture.
    SetTextColor(reversed.dc(), RGB(0, 0, 0));
    TextOutA(reversed.dc(), 10, 6, text, n);
    SetTextColor(reversed.dc(), RGB(255, 255, 255));
    TextOutA(reversed.dc(), 9, 6, text, n);
    TextOutA(reversed.dc(), 11, 6, text, n);
    TextOutA(reversed.dc(), 10, 5, text, n);
    TextOutA(reversed.dc(), 10, 7, text, n);
    GdiFlush();
    EXPECT_TRUE(SamePixels(drawn, reference));
    EXPECT_FALSE(SamePixels(drawn, reversed));

    int white = 0, black = 0, other = 0;
    for (int y = 0; y < 24; y++)
        for (int x = 0; x < 60; x++) {
            COLORREF c = drawn.Get(x, y);
            if (c == RGB(255, 255, 255)) white++;
            else if (c == RGB(0, 0, 0)) black++;
            else if (c != back) other++;
        }
    EXPECT_GT(white, 20);
    EXPECT_GT(black, 10);
    // Nothing left of x = 8 (one pixel of outline before the text at 10).
    for (int y = 0; y < 24; y++)
        for (int x = 0; x < 9; x++)
            EXPECT_EQ(back, drawn.Get(x, y)) << x << "," << y;

    // Width of the first count characters only.
    SIZE three, six;
    GetTextExtentPointA(drawn.dc(), "50%", 3, &three);
    GetTextExtentPointA(drawn.dc(), "50%abc", 6, &six);
    EXPECT_EQ(three.cx, probe.GetTextWidth(drawn.dc(), "50%abc", 3));
    EXPECT_EQ(six.cx, probe.GetTextWidth(drawn.dc(), "50%abc", 6));
    EXPECT_LT(three.cx, six.cx);
    EXPECT_EQ(0, probe.GetTextWidth(drawn.dc(), "50%", 0));

    for (int i = 0; i < 3; i++)
        SelectObject(dcs[i], old[i]);
}

TEST(ControlText, PickOffSplitsFieldsWithinTheBuffer)
{
    char buf[80];
    const char *text = "1,Ready";
    const char *next = MyControlCtl::pickOff(text, ',', buf, 63);
    EXPECT_STREQ("1", buf);
    EXPECT_EQ(text + 2, next);
    next = MyControlCtl::pickOff(next, ',', buf, 63);
    EXPECT_STREQ("Ready", buf);
    EXPECT_EQ(text + 7, next);   // the end: a further call gives an empty field
    next = MyControlCtl::pickOff(next, ',', buf, 63);
    EXPECT_STREQ("", buf);
    EXPECT_EQ(text + 7, next);

    const char *lead = ",x";
    EXPECT_EQ(lead + 1, MyControlCtl::pickOff(lead, ',', buf, 63));
    EXPECT_STREQ("", buf);
    EXPECT_EQ(strchr(" a b ,c", ',') + 1, MyControlCtl::pickOff(" a b ,c", ',', buf, 63));
    EXPECT_STREQ(" a b ", buf);   // blanks are kept

    // A field of 100 characters in a buffer of 63: 61 kept, the rest read
    // over, the position after the separator returned, nothing past the
    // size written.
    char src[120];
    memset(src, 'a', 100);
    for (int i = 0; i < 100; i++)
        src[i] = (char)('A' + i % 26);
    strcpy(src + 100, ",tail");
    memset(buf, '#', sizeof buf);
    next = MyControlCtl::pickOff(src, ',', buf, 63);
    EXPECT_EQ(src + 101, next);
    EXPECT_EQ(61u, strlen(buf));
    EXPECT_EQ(0, memcmp(buf, src, 61));
    for (int i = 62; i < (int)sizeof buf; i++)
        EXPECT_EQ('#', buf[i]) << i;

    // Small sizes: size 2 keeps no character, 1 and 0 write nothing.
    memset(buf, '#', sizeof buf);
    MyControlCtl::pickOff("abc", ',', buf, 2);
    EXPECT_EQ('\0', buf[0]);
    EXPECT_EQ('#', buf[1]);
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(strchr("abc,d", ',') + 1, MyControlCtl::pickOff("abc,d", ',', buf, 1));
    EXPECT_EQ('#', buf[0]);
    MyControlCtl::pickOff("abc", ',', buf, 0);
    EXPECT_EQ('#', buf[0]);
    memset(buf, '#', sizeof buf);
    MyControlCtl::pickOff("abcdef", ',', buf, 5);
    EXPECT_STREQ("abc", buf);
    EXPECT_EQ('#', buf[5]);
}

TEST(ControlText, ResourceLoadersAndHandleRelease)
{
    char buf[32];
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(0, SafeLoadString(GetModuleHandleA(NULL), 4321, buf, sizeof buf));
    EXPECT_STREQ("", buf);

    ctltest::StringModule strings;
    strings.Add(4321, "Cannot find the directory");
    HINSTANCE module = strings.Load();
    ASSERT_TRUE(module);
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(25, SafeLoadString(module, 4321, buf, sizeof buf));
    EXPECT_STREQ("Cannot find the directory", buf);
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(9, SafeLoadString(module, 4321, buf, 10));   // cut to size - 1
    EXPECT_STREQ("Cannot fi", buf);
    EXPECT_EQ('#', buf[10]);
    EXPECT_EQ(0, SafeLoadString(module, 4322, buf, sizeof buf));
    EXPECT_STREQ("", buf);

    EXPECT_EQ(NULL, LoadBitmapRW("Anything"));
    EXPECT_EQ(NULL, SafeLoadBitmap(GetModuleHandleA(NULL), "NoSuchPictureHere"));
    gfxtest::ResourceModule pictures;
    pictures.Add("TESTPIC", gfxtest::MakeTestTexture(8, 4));
    HINSTANCE picModule = pictures.Load();
    ASSERT_TRUE(picModule);
    HBITMAP bmp = SafeLoadBitmap(picModule, "testpic");   // case ignored
    ASSERT_TRUE(bmp);
    BITMAP info;
    ASSERT_TRUE(GetObjectA(bmp, sizeof info, &info));
    EXPECT_EQ(8, info.bmWidth);
    EXPECT_EQ(4, info.bmHeight);

    HGDIOBJ object = bmp;
    MyControlCtl::KillObject(&object);
    EXPECT_EQ(NULL, object);
    EXPECT_EQ(0u, GetObjectType(bmp));
    MyControlCtl::KillObject(&object);   // null: nothing happens
    EXPECT_EQ(NULL, object);

    BYTE andBits[32 * 4], xorBits[32 * 4];
    memset(andBits, 0xFF, sizeof andBits);
    memset(xorBits, 0, sizeof xorBits);
    HICON icon = CreateIcon(GetModuleHandleA(NULL), 32, 32, 1, 1, andBits, xorBits);
    ASSERT_TRUE(icon);
    HICON held = icon;
    MyControlCtl::KillIcon(&held);
    EXPECT_EQ(NULL, held);
    MyControlCtl::KillIcon(&held);
    EXPECT_EQ(NULL, held);
}

TEST(ControlDraw, PaintingPutsBackWhatItSelects)
{
    ctltest::Framework up;
    HWND page = ctltest::CreatePlainParent(300, 200, (HBRUSH)GetStockObject(GRAY_BRUSH));
    const char *const kinds[][2] = {{"VelloxFrame", "frame name"}, {"VelloxGraph", "Title"},
                                    {"VelloxText", "*Copying:"},   {"VelloxText", "1,Total"},
                                    {"VelloxMText", "*Some words to wrap over lines"}};
    // Objects of the caller's own, selected into the DC before the paint.
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(1, 2, 3));
    HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
    HFONT font = CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    int id = 1;
    for (const auto &kind : kinds) {
        SCOPED_TRACE(kind[1]);
        HWND w = ctltest::AddControl(page, kind[0], kind[1], id++, 10, 10, 120, 40);
        ASSERT_TRUE(w);
        MyControlCtl *obj = MyControlMgr::GetWindowObject(w);
        ASSERT_TRUE(obj);
        wintest::DibCanvas canvas(120, 40, RGB(255, 0, 255));
        HGDIOBJ oldPen = SelectObject(canvas.dc(), pen);
        HGDIOBJ oldBrush = SelectObject(canvas.dc(), brush);
        HGDIOBJ oldFont = SelectObject(canvas.dc(), font);
        wintest::DcSelection before = wintest::Selection(canvas.dc());
        PAINTSTRUCT ps;
        ZeroMemory(&ps, sizeof ps);
        ps.hdc = canvas.dc();
        SetRect(&ps.rcPaint, 0, 0, 120, 40);
        obj->OnPaint(ps);
        GdiFlush();
        EXPECT_TRUE(before == wintest::Selection(canvas.dc()));
        // And it did paint something.
        int painted = 0;
        for (int y = 0; y < 40; y++)
            for (int x = 0; x < 120; x++)
                painted += canvas.Get(x, y) != RGB(255, 0, 255);
        EXPECT_GT(painted, 0);
        SelectObject(canvas.dc(), oldPen);
        SelectObject(canvas.dc(), oldBrush);
        SelectObject(canvas.dc(), oldFont);
        DestroyWindow(w);
    }
    DestroyWindow(page);
    DeleteObject(pen);
    DeleteObject(brush);
    DeleteObject(font);
}

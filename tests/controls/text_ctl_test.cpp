// The single-line text control: template syntax, limits, drawing.
#include <gtest/gtest.h>

#include <string>

#include "controls/control_class.h"
#include "controls/control_mgr.h"
#include "controls/text_ctl.h"
#include "tests/support/ctl_page.h"
#include "tests/support/win_test.h"

namespace {

const COLORREF kGrey = RGB(192, 192, 192);
const COLORREF kBlue = RGB(0, 0, 160);

MyTextCtl *TextOf(HWND w)
{
    return static_cast<MyTextCtl *>(MyControlMgr::GetWindowObject(w));
}

std::string WindowText(HWND w)
{
    char buf[400];
    buf[0] = '\0';
    GetWindowTextA(w, buf, sizeof buf);
    return buf;
}

std::string Letters(int n)
{
    std::string s;
    for (int i = 0; i < n; i++)
        s += (char)('A' + i % 26);
    return s;
}

// Bounding box of the pixels that differ from the background.
struct Ink {
    int left = 100000, top = 100000, right = -1, bottom = -1, count = 0;
};
Ink InkOf(const wintest::Pixels &p, COLORREF background)
{
    Ink ink;
    for (int y = 0; y < p.height; y++)
        for (int x = 0; x < p.width; x++)
            if (p.Color(x, y) != background) {
                ink.count++;
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

bool Same(const wintest::Pixels &a, const wintest::Pixels &b)
{
    return a.width == b.width && a.height == b.height && a.px == b.px;
}

wintest::Pixels Shot(HWND w)
{
    wintest::Pixels p;
    wintest::CaptureWindow(w, p);
    return p;
}

} // namespace

TEST(TextControl, TemplateTextRules)
{
    ctltest::Framework up;
    HWND page = ctltest::CreatePlainParent(400, 400, (HBRUSH)GetStockObject(GRAY_BRUSH));
    ASSERT_TRUE(page);
    const struct {
        std::string text;
        int outline, right;
        std::string shown;
    } rows[] = {
        {"1,Ready", 1, 0, "Ready"},
        {"0,Ready", 0, 0, "Ready"},
        {"Ready", 0, 0, "Ready"},
        {"Ready, steady", 0, 0, " steady"},
        {"1,a,b", 1, 0, "a"},
        {"x,b,c", 0, 0, "b"},
        {"10,Two", 1, 0, "Two"},
        {",Lead", 0, 0, "Lead"},
        {"1,*Total", 1, 1, "Total"},
        {"*Copying:", 0, 1, "Copying:"},
        {"**Star", 0, 1, "*Star"},
        {"*&Plug-in directory:", 0, 1, "&Plug-in directory:"},
        {"msvcrt20._ll", 0, 0, "msvcrt20._ll"},
        {"", 0, 0, ""},
        // Fields are cut to 61 characters.
        {"1," + Letters(100), 1, 0, Letters(61)},
        {Letters(70) + ",x", 0, 0, "x"},
        // 254 characters are read at creation: untouched without a rule,
        // cut when the "*" rule rewrites the text.
        {Letters(300), 0, 0, Letters(300)},
        {"*" + Letters(300), 0, 1, Letters(253)},
    };
    int id = 10;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text.substr(0, 40));
        HWND w = ctltest::AddControl(page, "VelloxText", row.text.c_str(), id++, 0, 0, 100, 20);
        ASSERT_TRUE(w);
        MyTextCtl *text = TextOf(w);
        ASSERT_TRUE(text);
        EXPECT_EQ(row.outline, text->fOutline);
        EXPECT_EQ(row.right, text->fRightAlign);
        EXPECT_EQ(0, text->fCreating);
        EXPECT_EQ(1, text->fEnabled);
        EXPECT_EQ(row.shown, WindowText(w));
    }

    // After creation texts are shown as given: no rule applies any more.
    HWND w = ctltest::AddControl(page, "VelloxText", "Plain", 99, 0, 0, 100, 20);
    SetWindowTextA(w, "*1,x");
    EXPECT_EQ("*1,x", WindowText(w));
    EXPECT_EQ(0, TextOf(w)->fRightAlign);
    EXPECT_EQ(0, TextOf(w)->fOutline);
    DestroyWindow(page);
}

TEST(TextControl, DrawsPlainRightAlignedAndOutlinedText)
{
    ctltest::Framework up;
    HWND page = ctltest::CreatePlainParent(920, 200, CreateSolidBrush(kBlue));
    ASSERT_TRUE(page);
    HWND left = ctltest::AddControl(page, "VelloxText", "Copying:", 1, 10, 10, 150, 24);
    HWND right = ctltest::AddControl(page, "VelloxText", "*Copying:", 2, 200, 10, 150, 24);
    HWND outlined = ctltest::AddControl(page, "VelloxText", "1,Total", 3, 400, 10, 150, 24);
    HWND outlinedStar = ctltest::AddControl(page, "VelloxText", "1,*Total", 4, 600, 10, 150, 24);
    const std::string letters = Letters(100);
    HWND full = ctltest::AddControl(page, "VelloxText", letters.c_str(), 5, 0, 50, 900, 20);
    HWND cut62 = ctltest::AddControl(page, "VelloxText", letters.substr(0, 62).c_str(), 6, 0, 80,
                                     900, 20);
    HWND cut61 = ctltest::AddControl(page, "VelloxText", letters.substr(0, 61).c_str(), 7, 0,
                                     110, 900, 20);
    HWND prefixed = ctltest::AddControl(page, "VelloxText", "&Plug", 8, 10, 150, 100, 24);
    HWND unprefixed = ctltest::AddControl(page, "VelloxText", "Plug", 9, 200, 150, 100, 24);
    ctltest::ShowAndPaint(page);
    wintest::SaveWindowPng(page, ctltest::ScreenshotPath("text_controls.png").c_str());

    // Plain text: light grey background, letters in the default colour,
    // left or right in the rectangle, vertically centred.
    wintest::Pixels l = Shot(left), r = Shot(right);
    Ink li = InkOf(l, kGrey), ri = InkOf(r, kGrey);
    ASSERT_GT(li.count, 20);
    ASSERT_EQ(li.count, ri.count);
    EXPECT_LE(li.left, 2);
    EXPECT_GE(ri.right, 147);
    EXPECT_LT(li.right, 100);
    EXPECT_GT(ri.left, 50);
    EXPECT_NEAR(12, (li.top + li.bottom) / 2, 3);
    EXPECT_EQ(li.top, ri.top);
    for (int y = 0; y < l.height; y++) {
        for (int x = 0; x < l.width; x++) {
            COLORREF c = l.Color(x, y);
            if (c != kGrey) {
                EXPECT_EQ(RGB(0, 0, 0), c) << x << "," << y;
            }
        }
    }

    // Outlined text: nothing erased, white outline, black letters from the
    // left edge; the "*" has no visible effect.
    wintest::Pixels o = Shot(outlined), os = Shot(outlinedStar);
    EXPECT_TRUE(Same(o, os));
    Ink oi = InkOf(o, kBlue);
    EXPECT_LE(oi.left, 2);
    EXPECT_LT(oi.right, 60);
    EXPECT_EQ(kBlue, o.Color(140, 2));   // the parent's blue shows through
    EXPECT_EQ(kBlue, o.Color(5, 22));
    int white = 0, black = 0;
    for (COLORREF c : {RGB(255, 255, 255), RGB(0, 0, 0)}) {
        for (int y = 0; y < o.height; y++)
            for (int x = 0; x < o.width; x++)
                if (o.Color(x, y) == c)
                    (c ? white : black)++;
    }
    EXPECT_GT(white, black);
    EXPECT_GT(black, 10);
    EXPECT_EQ(0, oi.count - white - black);   // only outline and letters
    // Vertically: y = 24 / 2 - 10 / 2 = 7 is the letters' top cell row.
    EXPECT_GE(oi.top, 6);

    // At most 62 characters are drawn.
    wintest::Pixels f = Shot(full), c62 = Shot(cut62), c61 = Shot(cut61);
    EXPECT_TRUE(Same(f, c62));
    EXPECT_FALSE(Same(f, c61));
    EXPECT_LT(InkOf(f, kGrey).right, 880);   // the cut is not the rectangle's edge

    // Prefix processing: "&" underlines the next letter and is not shown.
    wintest::Pixels pp = Shot(prefixed), up2 = Shot(unprefixed);
    Ink pi = InkOf(pp, kGrey), ui = InkOf(up2, kGrey);
    EXPECT_NEAR(ui.left, pi.left, 1);   // the underline may start a pixel early
    EXPECT_NEAR(ui.right, pi.right, 1);
    EXPECT_GT(pi.count, ui.count);
    EXPECT_GE(pi.bottom, ui.bottom);

    // A new text replaces the old one at the next paint.
    SetWindowTextA(right, "*To:");
    UpdateWindow(right);
    ctltest::Settle();
    wintest::Pixels after = Shot(right);
    Ink ai = InkOf(after, kGrey);
    EXPECT_LT(ai.count, ri.count);
    EXPECT_GT(ai.left, ri.left);
    EXPECT_GE(ai.right, 147);

    HBRUSH blue = (HBRUSH)GetWindowLongPtrA(page, GWLP_USERDATA);
    DestroyWindow(page);
    DeleteObject(blue);
}

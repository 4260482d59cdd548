// The progress graph: range and position messages, the bar, and the
// percentage inverted over it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/control_mgr.h"
#include "controls/graph_ctl.h"
#include "tests/support/ctl_page.h"
#include "tests/support/win_test.h"

namespace {

const COLORREF kDark = RGB(64, 64, 64);

MyGraphCtl *GraphOf(HWND w)
{
    return static_cast<MyGraphCtl *>(MyControlMgr::GetWindowObject(w));
}

// Where the percentage's glyphs fall: the text drawn in the shared font
// into a one-bit bitmap at the place the control uses, left edge fixed by
// the width of "50%" in the default font of a fresh window DC.
std::vector<bool> TextMask(HWND graph, const char *text)
{
    RECT rc;
    GetClientRect(graph, &rc);
    const int cw = rc.right, ch = rc.bottom;
    HDC wdc = GetDC(graph);
    SIZE w50;
    GetTextExtentPointA(wdc, "50%", 3, &w50);
    HDC mono = CreateCompatibleDC(wdc);
    HBITMAP bits = CreateCompatibleBitmap(mono, cw, ch);
    HGDIOBJ oldBits = SelectObject(mono, bits);
    PatBlt(mono, 0, 0, cw, ch, BLACKNESS);
    HGDIOBJ oldFont = SelectObject(mono, ControlMgr->GetFont());
    SetBkMode(mono, TRANSPARENT);
    SetTextColor(mono, RGB(255, 255, 255));
    TextOutA(mono, (cw - 1 - w50.cx) / 2, (ch - 1 - 10) / 2, text, lstrlenA(text));
    wintest::DibCanvas canvas(cw, ch);
    BitBlt(canvas.dc(), 0, 0, cw, ch, mono, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<bool> mask(cw * ch);
    for (int y = 0; y < ch; y++)
        for (int x = 0; x < cw; x++)
            mask[y * cw + x] = canvas.Get(x, y) == RGB(255, 255, 255);
    SelectObject(mono, oldFont);
    SelectObject(mono, oldBits);
    DeleteObject(bits);
    DeleteDC(mono);
    ReleaseDC(graph, wdc);
    return mask;
}

struct GraphShot {
    int mismatches = 0;
    int glyphPixels = 0;
    int invertedDark = 0;    // glyph pixels over the filled part
    int invertedLight = 0;   // glyph pixels over the empty part
    int textLeft = 100000;
};

// Compares the screen with the sunken bar filled up to fillEnd and the
// text inverted over it.
GraphShot CheckGraph(HWND graph, int fillEnd, const char *text)
{
    GraphShot s;
    EXPECT_FALSE(GetUpdateRect(graph, NULL, FALSE));   // painted already
    ctltest::Settle();
    wintest::Pixels p;
    wintest::CaptureWindow(graph, p);
    std::vector<bool> mask = TextMask(graph, text);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    for (int y = 0; y < p.height; y++)
        for (int x = 0; x < p.width; x++) {
            COLORREF base = ctltest::SunkenBoxPixel(x, y, p.width, p.height,
                                                    x < fillEnd ? kDark : window);
            bool glyph = mask[y * p.width + x];
            COLORREF want = glyph ? (~base & 0xFFFFFF) : base;
            if (p.Color(x, y) != want)
                s.mismatches++;
            if (glyph) {
                s.glyphPixels++;
                s.textLeft = std::min(s.textLeft, x);
                if (base == kDark)
                    s.invertedDark++;
                else if (base == window)
                    s.invertedLight++;
            }
        }
    return s;
}

} // namespace

TEST(GraphControl, DefaultRangeClampingAndRepaint)
{
    ctltest::Framework up;
    HWND page = ctltest::CreatePlainParent(320, 120, (HBRUSH)GetStockObject(BLACK_BRUSH));
    HWND graph = ctltest::AddControl(page, "VelloxGraph", "Title", 102, 10, 10, 200, 24);
    ASSERT_TRUE(graph);
    MyGraphCtl *obj = GraphOf(graph);
    ASSERT_TRUE(obj);
    EXPECT_EQ(1, obj->fEnabled);
    ctltest::ShowAndPaint(page);
    wintest::SaveWindowPng(page, ctltest::ScreenshotPath("graph_50.png").c_str());

    // Before any message: 50 in 0..100, the bar half full, "50%" inverted
    // over both parts.
    EXPECT_EQ(50, SendMessageA(graph, GRAPH_GETPOS, 0, 0));
    EXPECT_EQ(100, obj->PosToScreen());
    GraphShot s = CheckGraph(graph, 100, "50%");
    EXPECT_EQ(0, s.mismatches);
    EXPECT_GT(s.glyphPixels, 10);
    EXPECT_GT(s.invertedDark, 0);
    EXPECT_GT(s.invertedLight, 0);
    wintest::Pixels p;
    wintest::CaptureWindow(graph, p);
    int lightDigits = 0;
    for (int y = 0; y < p.height; y++)
        for (int x = 2; x < 100; x++)
            lightDigits += p.Color(x, y) == RGB(191, 191, 191);
    EXPECT_EQ(s.invertedDark, lightDigits);
    const int left50 = s.textLeft;

    // The page's sequence: range 0..100 without repaint, then positions.
    EXPECT_EQ(1, SendMessageA(graph, GRAPH_SETRANGE, 0, 0x00640000));
    EXPECT_EQ(1, SendMessageA(graph, GRAPH_SETPOS, 1, 150));
    EXPECT_EQ(100, SendMessageA(graph, GRAPH_GETPOS, 0, 0));
    s = CheckGraph(graph, 198, "100%");
    EXPECT_EQ(0, s.mismatches);
    EXPECT_EQ(0, s.invertedLight);   // nothing empty left
    const int left100 = s.textLeft;
    EXPECT_EQ(1, SendMessageA(graph, GRAPH_SETPOS, 1, -5));
    EXPECT_EQ(0, SendMessageA(graph, GRAPH_GETPOS, 0, 0));
    s = CheckGraph(graph, 2, "0%");
    EXPECT_EQ(0, s.mismatches);
    EXPECT_EQ(0, s.invertedDark);
    // The text starts at the same place whatever the number.
    EXPECT_EQ(left50, s.textLeft);
    EXPECT_EQ(left50, left100);

    // wParam 0 changes the value, not the screen, until the next paint.
    EXPECT_EQ(1, SendMessageA(graph, GRAPH_SETPOS, 0, 10));
    EXPECT_EQ(10, SendMessageA(graph, GRAPH_GETPOS, 0, 0));
    EXPECT_FALSE(GetUpdateRect(graph, NULL, FALSE));   // nothing to paint
    EXPECT_EQ(0, CheckGraph(graph, 2, "0%").mismatches);
    InvalidateRect(graph, NULL, FALSE);
    UpdateWindow(graph);
    EXPECT_EQ(0, CheckGraph(graph, MulDiv(10, 196, 100) + 2, "10%").mismatches);

    // A new range does not move the position; the next position is clamped.
    SendMessageA(graph, GRAPH_SETPOS, 0, 80);
    SendMessageA(graph, GRAPH_SETRANGE, 0, MAKELPARAM(0, 50));
    EXPECT_EQ(80, SendMessageA(graph, GRAPH_GETPOS, 0, 0));
    // Painted meanwhile, the bar stays within its frame.
    InvalidateRect(graph, NULL, FALSE);
    UpdateWindow(graph);
    EXPECT_EQ(0, CheckGraph(graph, 198, "160%").mismatches);
    SendMessageA(graph, GRAPH_SETPOS, 0, 80);
    EXPECT_EQ(50, SendMessageA(graph, GRAPH_GETPOS, 0, 0));

    // Reversed range: every position becomes the top.
    SendMessageA(graph, GRAPH_SETRANGE, 0, MAKELPARAM(100, 0));
    EXPECT_EQ(100, obj->nMin);
    EXPECT_EQ(0, obj->nMax);
    for (LPARAM v : {LPARAM(150), LPARAM(50), LPARAM(-20), LPARAM(100)}) {
        SendMessageA(graph, GRAPH_SETPOS, 0, v);
        EXPECT_EQ(0, SendMessageA(graph, GRAPH_GETPOS, 0, 0)) << v;
    }
    // The halves of the range are unsigned 16-bit numbers.
    SendMessageA(graph, GRAPH_SETRANGE, 0, (LPARAM)0xFFFF8000);
    EXPECT_EQ(0x8000, obj->nMin);
    EXPECT_EQ(0xFFFF, obj->nMax);

    // A range of no width: MulDiv gives -1, no filled part, "-1%".
    SendMessageA(graph, GRAPH_SETRANGE, 0, MAKELPARAM(30, 30));
    SendMessageA(graph, GRAPH_SETPOS, 1, 70);
    EXPECT_EQ(30, SendMessageA(graph, GRAPH_GETPOS, 0, 0));
    EXPECT_EQ(1, obj->PosToScreen());
    s = CheckGraph(graph, 2, "-1%");
    EXPECT_EQ(0, s.mismatches);
    EXPECT_GT(s.glyphPixels, 0);

    // Painting makes nothing that it does not delete again.
    int before = wintest::GdiObjectCount();
    ASSERT_GE(before, 0);
    for (int i = 0; i < 5; i++)
        SendMessageA(graph, GRAPH_SETPOS, 1, i * 20);
    EXPECT_EQ(before, wintest::GdiObjectCount());
    DestroyWindow(page);
}

TEST(GraphControl, BarEndsWhereThePositionSays)
{
    ctltest::Framework up;
    HWND page = ctltest::CreatePlainParent(200, 80, (HBRUSH)GetStockObject(BLACK_BRUSH));
    HWND graph = ctltest::AddControl(page, "VelloxGraph", "Title", 1, 10, 10, 100, 20);
    ASSERT_TRUE(graph);
    ctltest::ShowAndPaint(page);
    MyGraphCtl *obj = GraphOf(graph);
    SendMessageA(graph, GRAPH_SETRANGE, 1, 0x00640000);
    SendMessageA(graph, GRAPH_SETPOS, 1, 50);
    EXPECT_EQ(50, obj->PosToScreen());   // MulDiv(50, 96, 100) + 2
    EXPECT_EQ(0, CheckGraph(graph, 50, "50%").mismatches);
    const int ends[][2] = {{0, 2}, {1, 3}, {25, 26}, {99, 97}, {100, 98}};
    for (const auto &e : ends) {
        SendMessageA(graph, GRAPH_SETPOS, 1, e[0]);
        EXPECT_EQ(e[1], obj->PosToScreen()) << e[0];
        char text[8];
        wsprintfA(text, "%d%%", e[0]);
        EXPECT_EQ(0, CheckGraph(graph, e[1], text).mismatches) << e[0];
    }
    // The position is scaled, not its distance from the bottom.
    SendMessageA(graph, GRAPH_SETRANGE, 1, MAKELPARAM(50, 150));
    SendMessageA(graph, GRAPH_SETPOS, 1, 100);
    EXPECT_EQ(50, obj->PosToScreen());
    EXPECT_EQ(0, CheckGraph(graph, 50, "100%").mismatches);
    DestroyWindow(page);
}

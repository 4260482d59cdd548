// The frame control: a sunken light grey panel that takes no input.
#include <gtest/gtest.h>

#include "controls/control_mgr.h"
#include "controls/frame_ctl.h"
#include "tests/support/ctl_page.h"
#include "tests/support/win_test.h"

TEST(FrameControl, PaintsASunkenLightGreyPanel)
{
    ctltest::Framework up;
    HWND page = ctltest::CreatePlainParent(480, 140, (HBRUSH)GetStockObject(WHITE_BRUSH));
    ASSERT_TRUE(page);
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_DISABLED;
    HWND frame = ctltest::AddControl(page, "VelloxFrame", "frame name", 1, 10, 20, 200, 100, style);
    HWND other = ctltest::AddControl(page, "VelloxFrame", "", 2, 250, 20, 200, 100, style);
    ASSERT_TRUE(frame && other);
    MyFrameCtl *obj = static_cast<MyFrameCtl *>(MyControlMgr::GetWindowObject(frame));
    ASSERT_TRUE(obj);
    EXPECT_EQ(1, obj->fEnabled);
    EXPECT_EQ(0u, obj->hFocus);
    ctltest::ShowAndPaint(page);
    wintest::SaveWindowPng(page, ctltest::ScreenshotPath("frame.png").c_str());

    wintest::Pixels p, q;
    ASSERT_TRUE(wintest::CaptureWindow(frame, p));
    ASSERT_EQ(200, p.width);
    ASSERT_EQ(100, p.height);
    int wrong = 0;
    for (int y = 0; y < 100; y++)
        for (int x = 0; x < 200; x++) {
            COLORREF want = ctltest::SunkenBoxPixel(x, y, 200, 100, RGB(192, 192, 192));
            if (p.Color(x, y) != want && wrong++ < 10)
                ADD_FAILURE() << "pixel " << x << "," << y;
        }
    EXPECT_EQ(0, wrong);
    // Border on columns 0, 1, 198, 199 and rows 0, 1, 98, 99 only.
    EXPECT_EQ(RGB(128, 128, 128), p.Color(0, 50));
    EXPECT_EQ(RGB(0, 0, 0), p.Color(1, 50));
    EXPECT_EQ(RGB(192, 192, 192), p.Color(2, 50));
    EXPECT_EQ(RGB(192, 192, 192), p.Color(197, 50));
    EXPECT_EQ(RGB(192, 192, 192), p.Color(198, 50));   // the light grey inner line
    EXPECT_EQ(RGB(255, 255, 255), p.Color(199, 50));
    EXPECT_EQ(RGB(128, 128, 128), p.Color(100, 0));
    EXPECT_EQ(RGB(0, 0, 0), p.Color(100, 1));
    EXPECT_EQ(RGB(255, 255, 255), p.Color(100, 99));

    // The window text changes nothing.
    ASSERT_TRUE(wintest::CaptureWindow(other, q));
    EXPECT_TRUE(p.px == q.px);

    // Clicks do nothing: no notification, no change on the screen; the
    // background is never erased by the frame itself.
    ctltest::Commands().clear();
    wintest::Click(frame, 50, 50);
    SendMessageA(frame, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(50, 50));
    wintest::Pump(20);
    EXPECT_TRUE(ctltest::Commands().empty());
    HDC dc = GetDC(frame);
    EXPECT_EQ(0, SendMessageA(frame, WM_ERASEBKGND, (WPARAM)dc, 0));
    ReleaseDC(frame, dc);
    ASSERT_TRUE(wintest::CaptureWindow(frame, q));
    EXPECT_TRUE(p.px == q.px);

    // Painting makes no drawing objects of its own.
    int before = wintest::GdiObjectCount();
    ASSERT_GE(before, 0);
    for (int i = 0; i < 5; i++)
        RedrawWindow(frame, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(before, wintest::GdiObjectCount());
    DestroyWindow(page);
}

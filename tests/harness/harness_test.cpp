// Checks the test harness itself: the throw-away prefix, the display and
// the helpers every other test relies on.
#include <windows.h>
#include <gtest/gtest.h>
#include "tests/support/win_test.h"

using namespace wintest;

TEST(Harness, DisplayIsTrueColour)
{
    HDC screen = GetDC(NULL);
    int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(NULL, screen);
    EXPECT_GE(bits, 24);
    EXPECT_EQ(1024, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(768, GetSystemMetrics(SM_CYSCREEN));
}

TEST(Harness, GdiCountFollowsCreationAndDeletion)
{
    // The first memory DC makes a few objects of the system's own that live on.
    DeleteDC(CreateCompatibleDC(NULL));
    int before = GdiObjectCount();
    ASSERT_GE(before, 0) << "GDI handle table not readable";
    HPEN pens[25];
    for (HPEN &p : pens)
        p = CreatePen(PS_SOLID, 1, RGB(10, 20, 30));
    HDC dc = CreateCompatibleDC(NULL);
    EXPECT_EQ(before + 26, GdiObjectCount());
    for (HPEN p : pens)
        DeleteObject(p);
    DeleteDC(dc);
    EXPECT_EQ(before, GdiObjectCount());
}

TEST(Harness, CanvasAndPngRoundTrip)
{
    DibCanvas canvas(40, 30, RGB(255, 0, 255));
    ASSERT_TRUE(canvas.ok());
    HBRUSH br = CreateSolidBrush(RGB(12, 34, 56));
    RECT rc = {10, 5, 20, 15};
    FillRect(canvas.dc(), &rc, br);
    DeleteObject(br);
    EXPECT_EQ(RGB(12, 34, 56), canvas.Get(10, 5));
    EXPECT_EQ(RGB(12, 34, 56), canvas.Get(19, 14));
    EXPECT_EQ(RGB(255, 0, 255), canvas.Get(20, 15));
    Pixels p = canvas.Snapshot();
    std::string path = OutputPath("harness-canvas.png");
    ASSERT_TRUE(SavePng(p, path.c_str()));
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, f);
    unsigned char sig[8] = {0};
    DWORD got = 0;
    ReadFile(f, sig, 8, &got, NULL);
    CloseHandle(f);
    EXPECT_EQ(8u, got);
    EXPECT_EQ(0x89, sig[0]);
    EXPECT_EQ('P', sig[1]);
}

static LRESULT CALLBACK PaintRedProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        HBRUSH br = CreateSolidBrush(RGB(200, 0, 0));
        FillRect(dc, &ps.rcPaint, br);
        DeleteObject(br);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

TEST(Harness, ScreenPixelsOfAPaintedWindow)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PaintRedProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "HarnessRed";
    ASSERT_TRUE(RegisterClassA(&wc));
    HWND w = CreateWindowExA(0, "HarnessRed", "red", WS_POPUP | WS_VISIBLE, 100, 100, 60, 40,
                             NULL, NULL, wc.hInstance, NULL);
    ASSERT_TRUE(w);
    UpdateWindow(w);
    Pump(100);
    EXPECT_EQ(RGB(200, 0, 0), ClientPixel(w, 0, 0));
    EXPECT_EQ(RGB(200, 0, 0), ClientPixel(w, 59, 39));
    Pixels p;
    ASSERT_TRUE(CaptureWindow(w, p));
    EXPECT_EQ(60, p.width);
    EXPECT_EQ(40, p.height);
    EXPECT_EQ(RGB(200, 0, 0), p.Color(30, 20));
    DestroyWindow(w);
    UnregisterClassA("HarnessRed", wc.hInstance);
}

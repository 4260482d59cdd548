// Centring a page and draining the queue.
#include <windows.h>
#include <gtest/gtest.h>

#include "app/dialogs.h"

namespace {

HWND MakePopup(int w, int h)
{
    return CreateWindowExA(0, "STATIC", "popup", WS_POPUP, 5, 7, w, h, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
}

RECT WindowRect(HWND window)
{
    RECT rc;
    GetWindowRect(window, &rc);
    return rc;
}

TEST(CenterDialog, CentresOnTheScreenKeepingTheSize)
{
    HWND w = MakePopup(300, 201);
    ASSERT_TRUE(w);
    CenterDialog(w);
    RECT rc = WindowRect(w);
    EXPECT_EQ((1024 - 300) / 2, rc.left);
    EXPECT_EQ((768 - 201) / 2, rc.top);
    EXPECT_EQ(300, rc.right - rc.left);
    EXPECT_EQ(201, rc.bottom - rc.top);
    DestroyWindow(w);
}

TEST(CenterDialog, WindowLargerThanTheScreenStartsOffScreen)
{
    HWND w = MakePopup(1201, 900);
    ASSERT_TRUE(w);
    CenterDialog(w);
    RECT rc = WindowRect(w);
    EXPECT_EQ((1024 - 1201) / 2, rc.left);   // -88, rounded toward zero
    EXPECT_EQ(-66, rc.top);
    EXPECT_EQ(1201, rc.right - rc.left);
    DestroyWindow(w);
}

int gDelivered = 0;

LRESULT CALLBACK CountingProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_USER + 7)
        gDelivered++;
    return DefWindowProcA(w, msg, wp, lp);
}

TEST(MyYield, DispatchesEverythingQueued)
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "AppTestCounting";
    ASSERT_TRUE(RegisterClassA(&wc));
    HWND w = CreateWindowExA(0, "AppTestCounting", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                             wc.hInstance, NULL);
    ASSERT_TRUE(w);
    MyYield();
    gDelivered = 0;
    for (int i = 0; i < 5; i++)
        PostMessageA(w, WM_USER + 7, 0, 0);
    MyYield();
    EXPECT_EQ(5, gDelivered);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE));
    DestroyWindow(w);
    UnregisterClassA("AppTestCounting", wc.hInstance);
}

} // namespace

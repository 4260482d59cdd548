// The main window: its class, the painted backdrop, the logo, and one whole
// life from creation through the sequence to the quit message.
#include <windows.h>
#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/main.h"
#include "tests/app/app_test_util.h"
#include "tests/support/import_hook.h"
#include "tests/support/win_test.h"

using namespace apptest;

namespace {

bool ClassRegistered(const char *name)
{
    WNDCLASSA wc;
    return GetClassInfoA(ghInst, name, &wc) != 0;
}

TEST(LoadAPMMetaFile, TheLogoPlaysIntoADC)
{
    HMETAFILE logo = LoadAPMMetaFile(ghInst, "OrrinLogo");
    ASSERT_TRUE(logo);
    UINT bytes = GetMetaFileBitsEx(logo, 0, NULL);
    EXPECT_GT(bytes, 18u);

    wintest::DibCanvas canvas(200, 150, RGB(0, 0, 0));
    ASSERT_TRUE(canvas.ok());
    SetMapMode(canvas.dc(), MM_ANISOTROPIC);
    SetViewportExtEx(canvas.dc(), 180, 130, NULL);
    SetViewportOrgEx(canvas.dc(), 10, 10, NULL);
    EXPECT_TRUE(PlayMetaFile(canvas.dc(), logo));
    SetMapMode(canvas.dc(), MM_TEXT);
    SetViewportOrgEx(canvas.dc(), 0, 0, NULL);
    int drawn = 0;
    for (int y = 0; y < 150; y++)
        for (int x = 0; x < 200; x++)
            drawn += canvas.Get(x, y) != RGB(0, 0, 0);
    EXPECT_GT(drawn, 500);
    wintest::SavePng(canvas.Snapshot(), ShotPath("app-logo.png").c_str());
    DeleteMetaFile(logo);
}

// Runs the program's own loop until the quit message, as WinMain does.
WPARAM RunLoop()
{
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (!ModelessDlgMessage(ghStatus, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return msg.message == WM_QUIT ? msg.wParam : (WPARAM)-1;
}

// The backdrop as the screen shows it: texture, not the black class brush,
// and the white title over its black shadow.
struct Backdrop {
    int black = 0, white = 0, shadow = 0;
    explicit Backdrop(const wintest::Pixels &p)
    {
        for (int x = 200; x < 1000; x += 7)
            black += p.Color(x, 600) == RGB(0, 0, 0);
        for (int y = 5; y < 40; y++)
            for (int x = 5; x < 400; x++) {
                white += p.Color(x, y) == RGB(255, 255, 255);
                shadow += p.Color(x, y) == RGB(0, 0, 0);
            }
    }
    bool Painted() const { return black < 20 && white > 100 && shadow > 50; }
};

// Reads the window's client area off the screen once its painting is there.
// Wine paints a window into a surface of its own and copies that to the
// screen when the thread waits for messages; at EndPaint only when the
// thread has not waited for 50 ms. So right after UpdateWindow the screen
// holds all, some or none of the painting, depending on how recently the
// thread waited (a message loop of an earlier case in the process counts).
// The wait here takes no message: the window's queued setup message stays
// for the program's loop. Gives up after two seconds with the last read.
bool CaptureOncePainted(HWND window, wintest::Pixels &out)
{
    DWORD start = GetTickCount();
    for (;;) {
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, 0);
        if (!wintest::CaptureWindow(window, out))
            return false;
        if (Backdrop(out).Painted() || GetTickCount() - start > 2000)
            return true;
    }
}

// The program's whole life, read off the screen.
TEST(MainWindow, WholeLifeWithCloseRequestsIgnoredDuringTheSequence)
{
    ASSERT_TRUE(InitApplication(ghInst));
    ASSERT_TRUE(InitInstance(ghInst, SW_SHOWNORMAL));
    HWND main = FindWindowA("QzSetupWClass", "Vellox 2.0 Setup");
    ASSERT_TRUE(main);
    RECT rc;
    GetWindowRect(main, &rc);
    EXPECT_EQ(0, rc.left);
    EXPECT_EQ(0, rc.top);
    EXPECT_EQ(1024, rc.right);
    EXPECT_EQ(768, rc.bottom);   // not Windows 95: the whole screen
    EXPECT_TRUE(ClassRegistered("VelloxTexDlg"));

    // Painted before the first page.
    wintest::Pixels backdrop;
    ASSERT_TRUE(CaptureOncePainted(main, backdrop));
    Backdrop seen(backdrop);
    EXPECT_LT(seen.black, 20);
    EXPECT_GT(seen.white, 100);
    EXPECT_GT(seen.shadow, 50);
    wintest::SavePng(backdrop, ShotPath("app-backdrop.png").c_str());

    bool aliveAfterClose = false;
    PageWatcher welcome("Welcome!", 0);
    welcome.OnPage([&](HWND page) {
        wintest::SaveWindowPng(GetDesktopWindow(), ShotPath("app-screen.png").c_str());
        SendMessageA(main, WM_CLOSE, 0, 0);
        SendMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        aliveAfterClose = IsWindow(main) && IsWindow(page);
        PostMessageA(GetFocus() ? GetFocus() : page, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(0u, RunLoop());
    EXPECT_EQ(1, welcome.Seen());
    EXPECT_TRUE(aliveAfterClose);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_FALSE(ClassRegistered("VelloxTexDlg"));
    EXPECT_EQ(0, InstallRunning());
    UnregisterClassA("QzSetupWClass", ghInst);
}

TEST(MainWindow, MinimisedWindowPaintsNothing)
{
    ASSERT_TRUE(InitApplication(ghInst));
    HWND main = CreateWindowExA(0, "QzSetupWClass", "t", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                NULL, NULL, ghInst, NULL);
    ASSERT_TRUE(main);
    ShowWindow(main, SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(IsIconic(main));
    wintest::DibCanvas canvas(50, 50, RGB(1, 2, 3));
    Paint(main, canvas.dc());
    EXPECT_EQ(RGB(1, 2, 3), canvas.Get(0, 0));
    EXPECT_EQ(RGB(1, 2, 3), canvas.Get(25, 25));

    // Restored, the title is drawn (the texture only exists after
    // InitInstance).
    ShowWindow(main, SW_RESTORE);
    Paint(main, canvas.dc());
    int changed = 0;
    for (int y = 0; y < 20; y++)
        for (int x = 0; x < 50; x++)
            changed += canvas.Get(x, y) != RGB(1, 2, 3);
    EXPECT_GT(changed, 10);
    // The sequence has not run: closing is allowed and ends the window.
    DestroyWindow(main);
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        ;
    UnregisterClassA("QzSetupWClass", ghInst);
}

// Realizations by the code under test, seen through this executable's
// import of RealizePalette.
typedef UINT(WINAPI *RealizeFn)(HDC);
RealizeFn gRealize = NULL;
int gRealized = 0;
HGDIOBJ gRealizedPalette = NULL;

UINT gMoved = 0;   // what the stand-in reports as changed entries

UINT WINAPI CountRealize(HDC dc)
{
    gRealized++;
    gRealizedPalette = GetCurrentObject(dc, OBJ_PAL);
    gRealize(dc);
    return gMoved;
}

// Tiles drawn from the texture's pixels.
typedef int(WINAPI *StretchFn)(HDC, int, int, int, int, int, int, int, int, const void *,
                               const BITMAPINFO *, UINT, DWORD);
StretchFn gStretch = NULL;
int gStretched = 0;

int WINAPI CountStretch(HDC dc, int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                        const void *bits, const BITMAPINFO *info, UINT usage, DWORD rop)
{
    gStretched++;
    return gStretch(dc, x, y, w, h, sx, sy, sw, sh, bits, info, usage, rop);
}

// The display as the code under test sees it through this executable's
// import of GetDeviceCaps: with or without a system palette.
typedef int(WINAPI *CapsFn)(HDC, int);
CapsFn gCaps = NULL;
int gPaletteCaps = 0;   // RC_PALETTE, or 0 for a true-colour display

int WINAPI DisplayCaps(HDC dc, int index)
{
    int value = gCaps(dc, index);
    return index == RASTERCAPS ? (value & ~RC_PALETTE) | gPaletteCaps : value;
}

bool Pending(HWND window)
{
    RECT rc;
    return GetUpdateRect(window, &rc, FALSE) != 0;
}

TEST(MainWindow, APaletteChangeElsewhereRealizesAndRepaintsBackdropAndPage)
{
    ASSERT_TRUE(InitApplication(ghInst));
    ASSERT_TRUE(InitInstance(ghInst, SW_SHOWNORMAL));
    HWND main = FindWindowA("QzSetupWClass", "Vellox 2.0 Setup");
    ASSERT_TRUE(main);
    MSG msg;
    // No sequence here: its message is taken off the queue.
    while (PeekMessageA(&msg, main, SetupMsg(), SetupMsg(), PM_REMOVE))
        ;
    // An alert over the INSTALLING page.
    HWND status = CreateWindowExA(0, "STATIC", "status", WS_POPUP | WS_VISIBLE, 10, 10, 100, 80,
                                  main, NULL, ghInst, NULL);
    HWND page = CreateWindowExA(0, "STATIC", "page", WS_POPUP | WS_VISIBLE, 30, 30, 100, 80, main,
                                NULL, ghInst, NULL);
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP, 0, 0, 10, 10, NULL, NULL, ghInst,
                                 NULL);
    ASSERT_TRUE(status && page && other);
    ghStatus = status;
    SetActiveWindow(page);
    wintest::Pump();
    ASSERT_EQ(page, GetLastActivePopup(main));
    {
        ImportHook hook("RealizePalette", (void *)CountRealize);
        ImportHook stretch("StretchDIBits", (void *)CountStretch);
        ImportHook caps("GetDeviceCaps", (void *)DisplayCaps);
        ASSERT_TRUE(hook.ok() && stretch.ok() && caps.ok());
        gRealize = (RealizeFn)hook.original();
        gStretch = (StretchFn)stretch.original();
        gCaps = (CapsFn)caps.original();
        gPaletteCaps = RC_PALETTE;
        gMoved = 0;
        gStretched = 0;

        // The backdrop realizes its palette whenever it paints.
        gRealized = 0;
        RedrawWindow(main, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(1, gRealized);
        EXPECT_NE(GetStockObject(DEFAULT_PALETTE), gRealizedPalette);

        // Its own realization asks for nothing.
        ValidateRect(main, NULL);
        ValidateRect(page, NULL);
        gRealized = 0;
        SendMessageA(main, WM_PALETTECHANGED, (WPARAM)main, 0);
        EXPECT_EQ(0, gRealized);
        EXPECT_FALSE(Pending(main));

        // Another program's: the backdrop maps its colours afresh, and it
        // and every page on screen are painted again, the one on top and
        // the one under it.
        ValidateRect(status, NULL);
        SendMessageA(main, WM_PALETTECHANGED, (WPARAM)other, 0);
        EXPECT_EQ(1, gRealized);
        EXPECT_NE(GetStockObject(DEFAULT_PALETTE), gRealizedPalette);
        EXPECT_TRUE(Pending(main));
        EXPECT_TRUE(Pending(page));
        EXPECT_TRUE(Pending(status));

        // The page's own: the page has its colours already.
        ValidateRect(main, NULL);
        ValidateRect(page, NULL);
        ValidateRect(status, NULL);
        SendMessageA(main, WM_PALETTECHANGED, (WPARAM)page, 0);
        EXPECT_TRUE(Pending(main));
        EXPECT_FALSE(Pending(page));
        EXPECT_TRUE(Pending(status));

        // Coming to the front, the backdrop's colours take the system palette.
        gRealized = 0;
        EXPECT_EQ(TRUE, SendMessageA(main, WM_QUERYNEWPALETTE, 0, 0));
        EXPECT_EQ(1, gRealized);
        // A true-colour display has none to take: nothing is realized, and
        // no other window is told of a palette change.
        gPaletteCaps = 0;
        gRealized = 0;
        EXPECT_EQ(FALSE, SendMessageA(main, WM_QUERYNEWPALETTE, 0, 0));
        EXPECT_EQ(0, gRealized);
        gPaletteCaps = RC_PALETTE;
        // No realization so far moved a colour: the tiles were left alone.
        EXPECT_EQ(0, gStretched);

        // One that moves them has the tiles drawn again, once.
        gMoved = 12;
        ValidateRect(main, NULL);
        SendMessageA(main, WM_PALETTECHANGED, (WPARAM)other, 0);
        EXPECT_EQ(1, gStretched);
        EXPECT_TRUE(Pending(main));
        UpdateWindow(main);
        EXPECT_EQ(2, gStretched);

        // A paint draws the tiles again only when its realization on a
        // palette display moved colours: not on a true-colour display
        // whose driver reports entries all the same (nothing is realized
        // there), nor when the realization fails. Drawing the tiles
        // realizes the palette once more.
        struct Row {
            int caps;
            UINT reported;
            int realized, redrawn;
        };
        const Row rows[] = {{0, 12, 0, 0}, {RC_PALETTE, GDI_ERROR, 1, 0}, {RC_PALETTE, 12, 2, 1}};
        for (const Row &row : rows) {
            gPaletteCaps = row.caps;
            gMoved = row.reported;
            gRealized = gStretched = 0;
            RedrawWindow(main, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
            EXPECT_EQ(row.realized, gRealized) << row.caps << " " << row.reported;
            EXPECT_EQ(row.redrawn, gStretched) << row.caps << " " << row.reported;
        }
    }
    ghStatus = NULL;
    DestroyWindow(status);
    DestroyWindow(page);
    DestroyWindow(other);
    DestroyWindow(main);
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        ;
    UnregisterClassA("QzSetupWClass", ghInst);
}

} // namespace

// The bitmap button: fitting to its picture, mouse tracking with one
// BN_CLICKED per completed click, BM_SETSTATE, and the frames it shows.
#include <windows.h>
#include <gtest/gtest.h>

#include "controls/button_ctl.h"
#include "controls/control_class.h"
#include "controls/control_mgr.h"
#include "tests/support/ctl_page.h"
#include "tests/support/gfx_art.h"
#include "tests/support/win_test.h"

using namespace ctltest;
using namespace gfxtest;
using namespace wintest;

namespace {

const int kId = 100;

RECT PlaceInParent(HWND control)
{
    RECT rc;
    GetWindowRect(control, &rc);
    MapWindowPoints(NULL, GetParent(control), (POINT *)&rc, 2);
    return rc;
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// Pixels of the button's face that differ from frame `frame` over the
// background colour `back`.
int FaceMismatches(const Pixels &p, int frame, COLORREF back)
{
    if (p.width != kButtonW || p.height != kButtonH)
        return -1;
    int wrong = 0;
    for (int y = 0; y < kButtonH; y++)
        for (int x = 0; x < kButtonW; x++) {
            COLORREF want = ButtonPixel(frame, x, y);
            wrong += p.Color(x, y) != (want == CLR_INVALID ? back : want);
        }
    return wrong;
}

// What the button showed when its parent got WM_COMMAND.
Pixels gAtCommand;
int gCommandsSeen = 0;
WNDPROC gDialogProc = NULL;

LRESULT CALLBACK WatchingProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND && lParam) {
        gCommandsSeen++;
        CaptureClient((HWND)lParam, gAtCommand);
    }
    return CallWindowProcA(gDialogProc, dialog, msg, wParam, lParam);
}

// The button as NT 3.51 and Win32s drive it: no WM_CAPTURECHANGED.
WNDPROC gButtonProc = NULL;
LRESULT CALLBACK NoCaptureChangedProc(HWND button, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CAPTURECHANGED)
        return 0;
    return CallWindowProcA(gButtonProc, button, msg, wParam, lParam);
}

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ArtModule() != NULL) << "test pictures not loaded";
        ASSERT_TRUE(MyButton != NULL);
        MyButton->hResInstance = ArtModule();
        Commands().clear();
        gCommandsSeen = 0;
        dialog = CreateTestDialog(300, 200);
        ASSERT_TRUE(dialog != NULL);
    }
    void TearDown() override
    {
        if (dialog)
            DestroyWindow(dialog);
    }

    HWND AddButton(const char *picture, int x, int y, int w, int h, int id = kId)
    {
        HWND b = AddControl(dialog, VELLOX_BUTTON_CLASS, picture, id, x, y, w, h);
        ShowAndPaint(dialog);
        return b;
    }
    COLORREF Back() { return ClientColour(dialog, 299, 199); }
    int Shows(HWND button, int frame)
    {
        Pixels p;
        if (!CaptureClient(button, p))
            return -1;
        return FaceMismatches(p, frame, Back());
    }
    MyButtonCtl *Object(HWND button)
    {
        return static_cast<MyButtonCtl *>(MyControlMgr::GetWindowObject(button));
    }

    Framework framework;
    HWND dialog = NULL;
};

} // namespace

TEST_F(ButtonTest, FitsItsWindowToOneFrameCentredOnTheTemplate)
{
    struct Case {
        int templateWidth, expectedLeft;
    } cases[] = {
        {69, 20 - 5},   // (69 - 80) / 2 = -5.5, truncated toward zero
        {80, 20},
        {91, 20 + 5},
        {30, 20 - 25},
    };
    for (const Case &c : cases) {
        HWND b = AddControl(dialog, VELLOX_BUTTON_CLASS, "TBUTTON", kId, 20, 10, c.templateWidth, 30);
        ASSERT_TRUE(b != NULL);
        RECT rc = PlaceInParent(b);
        EXPECT_EQ(c.expectedLeft, rc.left) << c.templateWidth;
        EXPECT_EQ(10, rc.top) << c.templateWidth;
        EXPECT_EQ(kButtonW, rc.right - rc.left) << c.templateWidth;
        EXPECT_EQ(kButtonH, rc.bottom - rc.top) << c.templateWidth;
        // A picture: its resource name is no text for readers to announce.
        EXPECT_EQ(0, GetWindowTextLengthA(b));
        DestroyWindow(b);
    }
}

TEST_F(ButtonTest, WithoutItsPictureKeepsTheTemplateSizeAndDrawsNothing)
{
    const char *texts[] = {"NOSUCHPICTURE", ""};
    for (const char *text : texts) {
        HWND b = AddButton(text, 20, 10, 69, 30);
        ASSERT_TRUE(b != NULL);
        const COLORREF back = Back();
        RECT rc = PlaceInParent(b);
        EXPECT_EQ(20, rc.left) << text;
        EXPECT_EQ(69, rc.right - rc.left) << text;
        EXPECT_EQ(30, rc.bottom - rc.top) << text;
        // Still a working window: it answers and survives a click.
        EXPECT_EQ(DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON, SendMessageA(b, WM_GETDLGCODE, 0, 0));
        SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
        SendMessageA(b, WM_LBUTTONUP, 0, At(5, 5));
        InvalidateRect(b, NULL, FALSE);
        UpdateWindow(b);
        EXPECT_EQ(back, ClientColour(b, 34, 15)) << text;
        DestroyWindow(b);
    }
}

TEST_F(ButtonTest, ShowsTheUpFrameOverTheDialogsBackground)
{
    HWND b = AddButton("TBUTTON", 20, 10, 80, 30);
    EXPECT_EQ(0, Shows(b, 0));
}

TEST_F(ButtonTest, PressMoveOutMoveInReleaseGivesOneClick)
{
    HWND b = AddButton("TBUTTON", 20, 10, 80, 30);
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, At(40, 40));
    EXPECT_EQ(0, Shows(b, 1));
    EXPECT_EQ(b, GetCapture());
    EXPECT_NE(b, GetFocus());   // a picture (no tab stop) takes no focus
    SendMessageA(b, WM_MOUSEMOVE, MK_LBUTTON, At(-5, 200));
    EXPECT_EQ(0, Shows(b, 0));
    SendMessageA(b, WM_MOUSEMOVE, MK_LBUTTON, At(-3, 10));
    EXPECT_EQ(0, Shows(b, 0));
    SendMessageA(b, WM_MOUSEMOVE, MK_LBUTTON, At(79, 85));
    EXPECT_EQ(0, Shows(b, 1));
    EXPECT_TRUE(Commands().empty());
    SendMessageA(b, WM_LBUTTONUP, 0, At(79, 85));
    ASSERT_EQ(1u, Commands().size());
    EXPECT_EQ(MAKEWPARAM(kId, BN_CLICKED), Commands()[0].first);
    EXPECT_EQ((LPARAM)b, Commands()[0].second);
    EXPECT_EQ(0, Shows(b, 0));
    EXPECT_TRUE(GetCapture() != b);
    EXPECT_EQ(0, Object(b)->state);
}

TEST_F(ButtonTest, ReleasingOutsideClicksNothing)
{
    HWND b = AddButton("TBUTTON", 20, 10, 80, 30);
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, At(40, 40));
    SendMessageA(b, WM_MOUSEMOVE, MK_LBUTTON, At(100, 40));
    SendMessageA(b, WM_LBUTTONUP, 0, At(100, 40));
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(0, Shows(b, 0));
    EXPECT_TRUE(GetCapture() != b);
    EXPECT_EQ(0, Object(b)->state);
    // A release with no press before it is no click either.
    SendMessageA(b, WM_LBUTTONUP, 0, At(40, 40));
    EXPECT_TRUE(Commands().empty());
}

TEST_F(ButtonTest, LosingTheMouseInMidPressReleasesWithoutAClick)
{
    HWND b = AddButton("TBUTTON", 20, 10, 80, 30);
    // Another window takes the mouse (WM_CAPTURECHANGED), inside or outside.
    const POINT moves[] = {{40, 40}, {100, 40}};
    for (const POINT &at : moves) {
        SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, At(40, 40));
        SendMessageA(b, WM_MOUSEMOVE, MK_LBUTTON, At(at.x, at.y));
        ASSERT_EQ(b, GetCapture());
        SetCapture(dialog);
        EXPECT_EQ(0, Shows(b, 0)) << at.x;
        EXPECT_EQ(0, Object(b)->state) << at.x;
        ReleaseCapture();
        SendMessageA(b, WM_LBUTTONUP, 0, At(40, 40));
        EXPECT_TRUE(Commands().empty()) << at.x;
    }

    // NT 3.51 and Win32s send no WM_CAPTURECHANGED: the next mouse message
    // finds the capture gone and ends the press, a release included.
    gButtonProc = (WNDPROC)SetWindowLongPtrA(b, GWLP_WNDPROC, (LONG_PTR)NoCaptureChangedProc);
    const UINT next[] = {WM_MOUSEMOVE, WM_LBUTTONUP};
    for (UINT msg : next) {
        SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, At(40, 40));
        SetCapture(dialog);
        EXPECT_NE(0, Object(b)->state) << "no notice yet";
        SendMessageA(b, msg, 0, At(40, 40));
        EXPECT_EQ(0, Object(b)->state) << msg;
        EXPECT_EQ(0, Shows(b, 0)) << msg;
        EXPECT_EQ(dialog, GetCapture()) << msg;
        ReleaseCapture();
        SendMessageA(b, WM_LBUTTONUP, 0, At(40, 40));
        EXPECT_TRUE(Commands().empty()) << msg;
    }
    SetWindowLongPtrA(b, GWLP_WNDPROC, (LONG_PTR)gButtonProc);

    // WM_CANCELMODE (a page pops up) ends the press and lets the mouse go.
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, At(40, 40));
    EXPECT_EQ(0, Shows(b, 1));
    SendMessageA(b, WM_CANCELMODE, 0, 0);
    EXPECT_EQ(0, Shows(b, 0));
    EXPECT_TRUE(GetCapture() != b);
    EXPECT_EQ(0, Object(b)->state);
    SendMessageA(b, WM_LBUTTONUP, 0, At(40, 40));
    EXPECT_TRUE(Commands().empty());

    // Pushed from outside, it stays pushed; the next whole click counts.
    SendMessageA(b, BM_SETSTATE, TRUE, 0);
    SendMessageA(b, WM_CANCELMODE, 0, 0);
    EXPECT_EQ(1, SendMessageA(b, BM_GETSTATE, 0, 0));
    SendMessageA(b, BM_SETSTATE, FALSE, 0);
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, At(40, 40));
    SendMessageA(b, WM_LBUTTONUP, 0, At(40, 40));
    EXPECT_EQ(1u, Commands().size());
    EXPECT_EQ(0, Shows(b, 0));
}

TEST_F(ButtonTest, TheClickIsSentAfterTheFaceIsBackUp)
{
    HWND b = AddButton("TBUTTON", 20, 10, 80, 30);
    gDialogProc = (WNDPROC)SetWindowLongPtrA(dialog, GWLP_WNDPROC, (LONG_PTR)WatchingProc);
    const COLORREF back = Back();
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, At(40, 40));
    SendMessageA(b, WM_LBUTTONUP, 0, At(40, 40));
    SetWindowLongPtrA(dialog, GWLP_WNDPROC, (LONG_PTR)gDialogProc);
    ASSERT_EQ(1, gCommandsSeen);
    EXPECT_EQ(0, FaceMismatches(gAtCommand, 0, back));
}

TEST_F(ButtonTest, PushedFromOutsideItIgnoresPresses)
{
    HWND b = AddButton("TBUTTON", 20, 10, 80, 30);
    EXPECT_EQ(0, SendMessageA(b, BM_GETSTATE, 0, 0));
    SendMessageA(b, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(1, SendMessageA(b, BM_GETSTATE, 0, 0));
    EXPECT_EQ(0, Shows(b, 1));
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, At(40, 40));
    SendMessageA(b, WM_LBUTTONUP, 0, At(40, 40));
    EXPECT_TRUE(Commands().empty());
    EXPECT_TRUE(GetCapture() != b);
    EXPECT_EQ(1, SendMessageA(b, BM_GETSTATE, 0, 0));

    SendMessageA(b, BM_SETSTATE, FALSE, 0);
    EXPECT_EQ(0, SendMessageA(b, BM_GETSTATE, 0, 0));
    EXPECT_EQ(0, Shows(b, 0));
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, At(40, 40));
    SendMessageA(b, WM_LBUTTONUP, 0, At(40, 40));
    EXPECT_EQ(1u, Commands().size());
}

TEST_F(ButtonTest, ADoubleClickIsTwoClicks)
{
    HWND b = AddButton("TBUTTON", 20, 10, 80, 30);
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, At(40, 40));
    SendMessageA(b, WM_LBUTTONUP, 0, At(40, 40));
    SendMessageA(b, WM_LBUTTONDBLCLK, MK_LBUTTON, At(40, 40));
    SendMessageA(b, WM_LBUTTONUP, 0, At(40, 40));
    ASSERT_EQ(2u, Commands().size());
    EXPECT_EQ(MAKEWPARAM(kId, BN_CLICKED), Commands()[1].first);
}

TEST_F(ButtonTest, AnswersAsANonDefaultPushButton)
{
    HWND b = AddButton("TBUTTON", 20, 10, 80, 30);
    // The default procedure would answer 0.
    EXPECT_EQ(0x2020, SendMessageA(b, WM_GETDLGCODE, 0, 0));
    EXPECT_EQ(0x2020, SendMessageA(b, WM_GETDLGCODE, VK_RETURN, 0));
}

TEST_F(ButtonTest, ADisabledButtonIgnoresTheMouseButStillPaints)
{
    HWND b = AddButton("TBUTTON", 20, 10, 80, 30);
    EnableWindow(b, FALSE);
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, At(40, 40));
    EXPECT_EQ(0, Shows(b, 0));
    EXPECT_TRUE(GetCapture() != b);
    SendMessageA(b, WM_LBUTTONUP, 0, At(40, 40));
    EXPECT_TRUE(Commands().empty());
    InvalidateRect(b, NULL, FALSE);
    UpdateWindow(b);
    EXPECT_EQ(0, Shows(b, 0));
    EnableWindow(b, TRUE);
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, At(40, 40));
    SendMessageA(b, WM_LBUTTONUP, 0, At(40, 40));
    EXPECT_EQ(1u, Commands().size());
}

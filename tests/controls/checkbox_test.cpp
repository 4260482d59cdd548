// The check box: the growing mark on a click, state messages without
// notification, disabled and double-click behaviour, and its drawing.
#include <windows.h>
#include <gtest/gtest.h>
#include <vector>

#include "controls/checkbox_ctl.h"
#include "controls/control_class.h"
#include "controls/control_mgr.h"
#include "tests/support/ctl_page.h"
#include "tests/support/gfx_art.h"
#include "tests/support/win_test.h"

using namespace ctltest;
using namespace gfxtest;
using namespace wintest;

namespace {

const char kRecordingClass[] = "GfxRecCheckBox";
const int kId = 301;
const int kW = 200, kH = 22;   // m = 11: box from (7, 5), mark cell at (4, 0)

struct PaintRecord {
    int frame;
    int animating;
    DWORD tick;
};

class RecordingCheckBox : public MyCheckBoxCtl {
public:
    void OnPaint(PAINTSTRUCT &paint) override
    {
        PaintRecord r = {nFrame, fAnimating, GetTickCount()};
        paints.push_back(r);
        MyCheckBoxCtl::OnPaint(paint);
    }
    static std::vector<PaintRecord> paints;
};
std::vector<PaintRecord> RecordingCheckBox::paints;

MyControlCtl *NewRecordingCheckBox(const char *name)
{
    return lstrcmpiA(name, kRecordingClass) == 0 ? new RecordingCheckBox : NULL;
}

std::vector<int> Frames()
{
    std::vector<int> f;
    for (const PaintRecord &r : RecordingCheckBox::paints)
        f.push_back(r.frame);
    return f;
}

// What the parent saw when the box notified: paints so far and the state.
size_t gPaintsAtCommand = 0;
LRESULT gStateAtCommand = -1;
int gCommandsSeen = 0;
WNDPROC gDialogProc = NULL;

LRESULT CALLBACK WatchingProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND) {
        gCommandsSeen++;
        gPaintsAtCommand = RecordingCheckBox::paints.size();
        gStateAtCommand = SendMessageA(GetDlgItem(dialog, LOWORD(wParam)), WM_USER + 1, 0, 0);
    }
    return CallWindowProcA(gDialogProc, dialog, msg, wParam, lParam);
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class CheckBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ArtModule() != NULL) << "test pictures not loaded";
        ASSERT_TRUE(MyCheckBox != NULL);
        MyCheckBox->hResInstance = ArtModule();
        Commands().clear();
        RecordingCheckBox::paints.clear();
        gCommandsSeen = 0;

        WNDCLASSA wc;
        ZeroMemory(&wc, sizeof wc);
        wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = MyControlWndProc;
        wc.cbWndExtra = sizeof(LONG_PTR);
        wc.hInstance = GetModuleHandleA(NULL);
        wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
        wc.lpszClassName = kRecordingClass;
        ASSERT_TRUE(RegisterClassA(&wc) != 0);
        ASSERT_EQ(1, ControlMgr->AddAllocator(NewRecordingCheckBox));

        dialog = CreateTestDialog(300, 120);
        ASSERT_TRUE(dialog != NULL);
    }
    void TearDown() override
    {
        if (dialog)
            DestroyWindow(dialog);
        UnregisterClassA(kRecordingClass, GetModuleHandleA(NULL));
    }

    HWND AddBox(const char *cls, const char *text = " Windows 95")
    {
        HWND b = AddControl(dialog, cls, text, kId, 10, 20, kW, kH, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
        ShowAndPaint(dialog);
        RecordingCheckBox::paints.clear();
        return b;
    }
    void Watch() { gDialogProc = (WNDPROC)SetWindowLongPtrA(dialog, GWLP_WNDPROC, (LONG_PTR)WatchingProc); }
    void Unwatch() { SetWindowLongPtrA(dialog, GWLP_WNDPROC, (LONG_PTR)gDialogProc); }
    MyCheckBoxCtl *Object(HWND box)
    {
        return static_cast<MyCheckBoxCtl *>(MyControlMgr::GetWindowObject(box));
    }
    // Pixels of the mark block of `cell` that the screen does not show.
    int MarkMismatches(HWND box, int cell)
    {
        int wrong = 0;
        for (int y = 6; y < 16; y += 3)
            for (int x = 8; x < 8 + 4 * cell; x += 2)
                wrong += ClientColour(box, 4 + x, y) != CellPixel(cell, x, y);
        return wrong;
    }
    // 1 when no part of any mark shows (cells 1 to 5 reach x = 8 .. 27).
    int MarkAbsent(HWND box)
    {
        for (int x = 8; x < 28; x += 2)
            if (ClientColour(box, 4 + x, 10) == CellPixel(5, x, 10))
                return 0;
        return 1;
    }

    Framework framework;
    HWND dialog = NULL;
};

} // namespace

TEST_F(CheckBoxTest, AClickGrowsTheMarkThenNotifies)
{
    HWND box = AddBox(kRecordingClass);
    Watch();
    SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    Unwatch();
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5}), Frames());
    const std::vector<PaintRecord> &p = RecordingCheckBox::paints;
    for (size_t i = 0; i < p.size(); i++)
        EXPECT_EQ(1, p[i].animating) << i;
    for (size_t i = 1; i < p.size(); i++)
        EXPECT_GE(p[i].tick - p[i - 1].tick, 90u) << i;
    ASSERT_EQ(1, gCommandsSeen);
    EXPECT_EQ(5u, gPaintsAtCommand);
    EXPECT_EQ(1, gStateAtCommand);
    ASSERT_EQ(1u, Commands().size());
    EXPECT_EQ(MAKEWPARAM(kId, 0), Commands()[0].first);
    EXPECT_EQ(0, Commands()[0].second);
    EXPECT_EQ(0, Object(box)->fAnimating);
    EXPECT_EQ(0, MarkMismatches(box, 5));
}

TEST_F(CheckBoxTest, AClickOnACheckedBoxClearsItAtOnce)
{
    HWND box = AddBox(kRecordingClass);
    SendMessageA(box, WM_USER, 1, 0);
    RecordingCheckBox::paints.clear();
    Watch();
    SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    Unwatch();
    EXPECT_EQ((std::vector<int>{0}), Frames());
    EXPECT_EQ(0, RecordingCheckBox::paints[0].animating);
    ASSERT_EQ(1, gCommandsSeen);
    EXPECT_EQ(0, gStateAtCommand);
    EXPECT_EQ(MAKEWPARAM(kId, 0), Commands()[0].first);
    EXPECT_EQ(1, MarkAbsent(box));
}

TEST_F(CheckBoxTest, TheStateMessagesSetAndReadWithoutNotifying)
{
    HWND box = AddBox(kRecordingClass);
    EXPECT_EQ(1, MarkAbsent(box));
    EXPECT_EQ(0, SendMessageA(box, WM_USER, 1, 0));
    EXPECT_EQ((std::vector<int>{5}), Frames());
    EXPECT_EQ(0, MarkMismatches(box, 5));
    EXPECT_EQ(1, SendMessageA(box, WM_USER + 1, 0, 0));
    EXPECT_EQ(1, SendMessageA(box, WM_USER, 7, 0));
    EXPECT_EQ(7, SendMessageA(box, WM_USER + 1, 0, 0));
    EXPECT_EQ(7, SendMessageA(box, WM_USER, 0, 0));
    EXPECT_EQ(0, SendMessageA(box, WM_USER + 1, 0, 0));
    EXPECT_EQ(1, MarkAbsent(box));
    EXPECT_TRUE(Commands().empty());
    // Any nonzero state is checked: a click clears it.
    SendMessageA(box, WM_USER, 7, 0);
    SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    EXPECT_EQ(0, SendMessageA(box, WM_USER + 1, 0, 0));
}

TEST_F(CheckBoxTest, ADisabledBoxIgnoresClicks)
{
    HWND box = AddBox(VELLOX_CHECKBOX_CLASS);
    EnableWindow(box, FALSE);
    SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    EXPECT_EQ(0, SendMessageA(box, WM_USER + 1, 0, 0));
    EXPECT_TRUE(Commands().empty());
    // A click outside the box, as only a sent message can make, neither.
    EnableWindow(box, TRUE);
    SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, At(kW + 5, 10));
    EXPECT_EQ(0, SendMessageA(box, WM_USER + 1, 0, 0));
    EXPECT_TRUE(Commands().empty());
}

TEST_F(CheckBoxTest, ADoubleClickTogglesOnce)
{
    HWND box = AddBox(VELLOX_CHECKBOX_CLASS);
    SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    SendMessageA(box, WM_LBUTTONUP, 0, At(10, 10));
    SendMessageA(box, WM_LBUTTONDBLCLK, MK_LBUTTON, At(10, 10));
    SendMessageA(box, WM_LBUTTONUP, 0, At(10, 10));
    EXPECT_EQ(1, SendMessageA(box, WM_USER + 1, 0, 0));
    EXPECT_EQ(1u, Commands().size());
}

TEST_F(CheckBoxTest, TheFieldPrefixChoosesOutlineAndIsStripped)
{
    struct Case {
        const char *text, *shown;
        int outline;
    } cases[] = {
        {"1,Ready", "Ready", 1},
        {"0,Ready", "Ready", 0},
        {"Ready", "Ready", 0},
        {"Ready, steady", " steady", 0},
        {" Windows 95", " Windows 95", 0},
        {"1,One,Two", "One", 1},
    };
    for (const Case &c : cases) {
        HWND box = AddControl(dialog, VELLOX_CHECKBOX_CLASS, c.text, kId, 10, 20, kW, kH);
        char text[64];
        GetWindowTextA(box, text, sizeof text);
        EXPECT_STREQ(c.shown, text) << c.text;
        EXPECT_EQ(c.outline, Object(box)->fOutline) << c.text;
        DestroyWindow(box);
    }
}

TEST_F(CheckBoxTest, DrawsASunkenBoxTheTextAndTheMark)
{
    HWND box = AddBox(VELLOX_CHECKBOX_CLASS, "Windows 95");
    // The box: dark grey and black on the top-left, white and light grey
    // on the bottom-right, the window colour inside.
    const int m = kH / 2;
    EXPECT_EQ(RGB(128, 128, 128), ClientColour(box, 7, m - 6 + 3));
    EXPECT_EQ(RGB(0, 0, 0), ClientColour(box, 8, m - 6 + 3));
    EXPECT_EQ(RGB(255, 255, 255), ClientColour(box, 19, m));
    EXPECT_EQ(RGB(192, 192, 192), ClientColour(box, 18, m));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), ClientColour(box, 13, m));
    // Some letters are black pixels right of x = 22, none left of it
    // beyond the box and mark.
    Pixels p;
    ASSERT_TRUE(CaptureClient(box, p));
    int black = 0;
    for (int y = 0; y < kH; y++)
        for (int x = 22; x < kW; x++)
            black += p.Color(x, y) == RGB(0, 0, 0);
    EXPECT_GT(black, 20);
    SendMessageA(box, WM_USER, 1, 0);
    EXPECT_EQ(0, MarkMismatches(box, 5));
    // The text and the box stay when the mark changes.
    Pixels after;
    ASSERT_TRUE(CaptureClient(box, after));
    int changed = 0;
    for (int y = 0; y < kH; y++)
        for (int x = 40; x < kW; x++)
            changed += p.At(x, y) != after.At(x, y);
    EXPECT_EQ(0, changed);
}

// The space bar clicks (once, however long it is held), as does a reader's
// BM_CLICK; BM_GETCHECK tells the state. With the cues shown (as Wine
// always shows them) the focused box has a dotted rectangle on its edge,
// gone with the focus.
TEST_F(CheckBoxTest, TheKeyboardAndReadersClickAndSeeTheFocus)
{
    HWND box = AddBox(VELLOX_CHECKBOX_CLASS);
    HWND other = AddControl(dialog, "Button", "x", 6, 10, 80, 40, 20, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
    SendMessageA(box, WM_KEYDOWN, VK_SPACE, 1);
    SendMessageA(box, WM_KEYDOWN, VK_SPACE, 0x40000001);   // a repeat: nothing more
    EXPECT_EQ(BST_CHECKED, SendMessageA(box, BM_GETCHECK, 0, 0));
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(box, BM_GETCHECK, 0, 0));
    EXPECT_EQ(2u, Commands().size());

    Pixels shot[3];   // unfocused, focused, unfocused again
    for (int i = 0; i < 3; i++) {
        SetFocus(i == 1 ? box : other);
        Pump();
        ASSERT_TRUE(CaptureClient(box, shot[i]));
    }
    int onRect = 0, elsewhere = 0;
    for (int y = 0; y < kH; y++)
        for (int x = 0; x < kW; x++)
            if (shot[1].At(x, y) != shot[0].At(x, y))
                (x == 0 || y == 0 || x == kW - 1 || y == kH - 1 ? onRect : elsewhere)++;
    EXPECT_GT(onRect, kW);
    EXPECT_EQ(0, elsewhere);
    EXPECT_TRUE(shot[2].px == shot[0].px);
}

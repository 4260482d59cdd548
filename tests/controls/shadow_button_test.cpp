// The shadow button: window fitted to face plus shadow, the press and
// release animations, BN_CLICKED after the face is back up, and a shadow
// that continues the dialog's texture in its dark variant.
#include <windows.h>
#include <gtest/gtest.h>
#include <vector>

#include "controls/control_class.h"
#include "controls/control_mgr.h"
#include "controls/shadow_button_ctl.h"
#include "graphics/tex_dlg.h"
#include "tests/support/ctl_page.h"
#include "tests/support/gfx_art.h"
#include "tests/support/win_test.h"

using namespace ctltest;
using namespace gfxtest;
using namespace wintest;

namespace {

const char kRecordingClass[] = "GfxRecShadButt";
const int kWinW = kFaceW + 8, kWinH = kFaceH + 8;

struct PaintRecord {
    int depth;
    DWORD tick;
};

// A shadow button that notes the depth of every paint.
class RecordingShadowButton : public MyShadowButtonCtl {
public:
    void OnPaint(PAINTSTRUCT &paint) override
    {
        MyShadowButtonCtl::OnPaint(paint);
        PaintRecord r = {depth, GetTickCount()};
        paints.push_back(r);
    }
    static std::vector<PaintRecord> paints;
};
std::vector<PaintRecord> RecordingShadowButton::paints;

MyControlCtl *NewRecordingShadowButton(const char *name)
{
    return lstrcmpiA(name, kRecordingClass) == 0 ? new RecordingShadowButton : NULL;
}

std::vector<int> Depths()
{
    std::vector<int> d;
    for (const PaintRecord &r : RecordingShadowButton::paints)
        d.push_back(r.depth);
    return d;
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// Colour of the test texture's variant at texture-space point (x, y).
COLORREF Texel(int x, int y, bool shadow)
{
    COLORREF c = TestRGB(TextureIndex(x % 128, y % 128));
    return shadow ? ShadowOf(c) : c;
}

// Expected button window with the face at depth d over the textured
// dialog; (tx, ty) is the texture-space point of the button's (0, 0).
// Without a texture the background is `back` and the shadow black. A
// focused button (a click gives it the focus) may show its focus
// rectangle on the face's border, which is not counted then.
int ButtonMismatches(const Pixels &p, int d, bool textured, int tx, int ty, COLORREF back,
                     bool focused = false)
{
    if (p.width != kWinW || p.height != kWinH)
        return -1;
    const int face = 8 - d;
    int wrong = 0;
    for (int y = 0; y < kWinH; y++)
        for (int x = 0; x < kWinW; x++) {
            COLORREF want = FacePixel(x - face, y - face);
            if (x < face || y < face || x - face >= kFaceW || y - face >= kFaceH)
                want = CLR_INVALID;
            if (want == CLR_INVALID && x >= 8 && y >= 8 && FacePixel(x - 8, y - 8) != CLR_INVALID)
                want = textured ? Texel(tx + x, ty + y, true) : RGB(0, 0, 0);
            if (want == CLR_INVALID)
                want = textured ? Texel(tx + x, ty + y, false) : back;
            const int fx = x - face, fy = y - face;
            if (focused && fx >= 0 && fy >= 0 && fx < kFaceW && fy < kFaceH &&
                (fx == 0 || fy == 0 || fx == kFaceW - 1 || fy == kFaceH - 1))
                continue;
            wrong += p.Color(x, y) != want;
        }
    return wrong;
}

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

class ShadowButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ArtModule() != NULL) << "test pictures not loaded";
        ASSERT_TRUE(MyShadowButton != NULL && MyTexDlg != NULL);
        MyShadowButton->hResInstance = ArtModule();
        MyTexDlg->hResInstance = ArtModule();
        Commands().clear();
        RecordingShadowButton::paints.clear();
        gCommandsSeen = 0;

        WNDCLASSA wc;
        ZeroMemory(&wc, sizeof wc);
        wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = MyControlWndProc;
        wc.cbWndExtra = sizeof(LONG_PTR);
        wc.hInstance = GetModuleHandleA(NULL);
        wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
        wc.lpszClassName = kRecordingClass;
        ASSERT_TRUE(RegisterClassA(&wc) != 0);
        ASSERT_EQ(1, ControlMgr->AddAllocator(NewRecordingShadowButton));

        dialog = CreateTestDialog(300, 200);
        ASSERT_TRUE(dialog != NULL);
    }
    void TearDown() override
    {
        if (dialog)
            DestroyWindow(dialog);
        UnregisterClassA(kRecordingClass, GetModuleHandleA(NULL));
    }

    // The texture control first, as in every page.
    void Texture() { AddControl(dialog, VELLOX_TEXDLG_CLASS, "GRADTEX", -1, 400, 400, 10, 10); }
    HWND AddButton(const char *cls, int x, int y, int w, int h, int id = IDOK)
    {
        HWND b = AddControl(dialog, cls, "TFACE", id, x, y, w, h, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
        ShowAndPaint(dialog);
        RecordingShadowButton::paints.clear();
        return b;
    }
    POINT TextureOrigin(HWND button)
    {
        RECT frame;
        GetWindowRect(dialog, &frame);
        POINT p = {0, 0};
        ClientToScreen(button, &p);
        p.x -= frame.left;
        p.y -= frame.top;
        return p;
    }
    int Shows(HWND button, int d, bool textured)
    {
        Pixels p;
        if (!CaptureClient(button, p))
            return -1;
        POINT o = TextureOrigin(button);
        return ButtonMismatches(p, d, textured, o.x, o.y, ClientColour(dialog, 299, 199),
                                GetFocus() == button);
    }

    Framework framework;
    HWND dialog = NULL;
};

RECT PlaceInParent(HWND control)
{
    RECT rc;
    GetWindowRect(control, &rc);
    MapWindowPoints(NULL, GetParent(control), (POINT *)&rc, 2);
    return rc;
}

} // namespace

TEST_F(ShadowButtonTest, FitsItsWindowToFaceAndShadowRightOfCentre)
{
    struct Case {
        int templateWidth, offset;
    } cases[] = {
        {64, 9},   // (64 - 54 + 8) / 2
        {45, 0},   // (45 - 54 + 8) / 2 = -1 / 2, truncated toward zero
        {43, -1},  // (43 - 54 + 8) / 2 = -3 / 2
        {54, 4},
    };
    for (const Case &c : cases) {
        HWND b = AddControl(dialog, VELLOX_SHADOW_BUTTON_CLASS, "TFACE", IDOK, 30, 12,
                            c.templateWidth, 50);
        ASSERT_TRUE(b != NULL);
        RECT rc = PlaceInParent(b);
        EXPECT_EQ(30 + c.offset, rc.left) << c.templateWidth;
        EXPECT_EQ(12, rc.top) << c.templateWidth;
        EXPECT_EQ(kWinW, rc.right - rc.left) << c.templateWidth;
        EXPECT_EQ(kWinH, rc.bottom - rc.top) << c.templateWidth;
        DestroyWindow(b);
    }
    // Without its picture the window keeps the template's size.
    HWND missing = AddControl(dialog, VELLOX_SHADOW_BUTTON_CLASS, "NOSUCHFACE", IDOK, 30, 12, 64, 50);
    RECT rc = PlaceInParent(missing);
    EXPECT_EQ(30, rc.left);
    EXPECT_EQ(64, rc.right - rc.left);
    EXPECT_EQ(50, rc.bottom - rc.top);
}

TEST_F(ShadowButtonTest, WithoutADialogTextureTheShadowIsBlack)
{
    HWND b = AddButton(VELLOX_SHADOW_BUTTON_CLASS, 30, 12, 64, 50);
    EXPECT_TRUE(DlgTexture(dialog) == NULL);
    EXPECT_EQ(0, Shows(b, 8, false));
}

TEST_F(ShadowButtonTest, TheShadowContinuesTheDialogTextureInTheDarkVariant)
{
    Texture();
    HWND b = AddButton(VELLOX_SHADOW_BUTTON_CLASS, 30, 12, 64, 50);
    ASSERT_TRUE(DlgTexture(dialog) != NULL);
    EXPECT_EQ(0, Shows(b, 8, true));

    // The dialog itself shows the normal variant right next to the button.
    RECT rc = PlaceInParent(b);
    RECT frame;
    GetWindowRect(dialog, &frame);
    POINT beside = {rc.left - 1, rc.top + 20};
    POINT screen = beside;
    ClientToScreen(dialog, &screen);
    EXPECT_EQ(Texel(screen.x - frame.left, screen.y - frame.top, false),
              ClientColour(dialog, beside.x, beside.y));

    SendMessageA(b, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(0, Shows(b, 2, true));
    SendMessageA(b, BM_SETSTATE, FALSE, 0);
    EXPECT_EQ(0, Shows(b, 8, true));
}

TEST_F(ShadowButtonTest, PressAndReleaseAnimateTheFace)
{
    HWND b = AddButton(kRecordingClass, 30, 12, 64, 50);
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 10));
    EXPECT_EQ((std::vector<int>{8, 6, 4, 2}), Depths());
    for (size_t i = 1; i < RecordingShadowButton::paints.size(); i++)
        EXPECT_GE(RecordingShadowButton::paints[i].tick - RecordingShadowButton::paints[i - 1].tick,
                  60u);
    EXPECT_EQ(0, Shows(b, 2, false));

    RecordingShadowButton::paints.clear();
    SendMessageA(b, WM_MOUSEMOVE, MK_LBUTTON, At(-10, 10));
    EXPECT_EQ((std::vector<int>{2, 5, 8}), Depths());

    // A move that crosses no edge only repaints.
    RecordingShadowButton::paints.clear();
    SendMessageA(b, WM_MOUSEMOVE, MK_LBUTTON, At(-20, 10));
    EXPECT_EQ((std::vector<int>{8}), Depths());

    RecordingShadowButton::paints.clear();
    SendMessageA(b, WM_MOUSEMOVE, MK_LBUTTON, At(5, 5));
    EXPECT_EQ((std::vector<int>{8, 6, 4, 2}), Depths());

    // Released inside: straight back up, then the notification.
    RecordingShadowButton::paints.clear();
    SendMessageA(b, WM_LBUTTONUP, 0, At(5, 5));
    EXPECT_EQ((std::vector<int>{8}), Depths());
    ASSERT_EQ(1u, Commands().size());
    EXPECT_EQ(MAKEWPARAM(IDOK, BN_CLICKED), Commands()[0].first);
    EXPECT_EQ((LPARAM)b, Commands()[0].second);
}

TEST_F(ShadowButtonTest, ReleasingOutsideRisesWithoutAClick)
{
    HWND b = AddButton(kRecordingClass, 30, 12, 64, 50);
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 10));
    SendMessageA(b, WM_MOUSEMOVE, MK_LBUTTON, At(20, 100));
    RecordingShadowButton::paints.clear();
    SendMessageA(b, WM_LBUTTONUP, 0, At(20, 100));
    EXPECT_EQ((std::vector<int>{8, 8}), Depths());
    EXPECT_TRUE(Commands().empty());
    EXPECT_TRUE(GetCapture() != b);
    EXPECT_EQ(0, Shows(b, 8, false));
}

// NT 3.51 and Win32s send no WM_CAPTURECHANGED when another window takes
// the mouse: the release finds the capture gone, rises, and clicks nothing.
WNDPROC gShadowProc = NULL;
LRESULT CALLBACK NoCaptureChangedProc(HWND button, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return msg == WM_CAPTURECHANGED ? 0 : CallWindowProcA(gShadowProc, button, msg, wParam, lParam);
}

TEST_F(ShadowButtonTest, LosingTheMouseUnnoticedRisesWithoutAClick)
{
    HWND b = AddButton(kRecordingClass, 30, 12, 64, 50);
    gShadowProc = (WNDPROC)SetWindowLongPtrA(b, GWLP_WNDPROC, (LONG_PTR)NoCaptureChangedProc);
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 10));
    SetCapture(dialog);
    RecordingShadowButton::paints.clear();
    SendMessageA(b, WM_LBUTTONUP, 0, At(20, 10));
    EXPECT_EQ((std::vector<int>{2, 5, 8}), Depths());
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(dialog, GetCapture());
    ReleaseCapture();
    SetWindowLongPtrA(b, GWLP_WNDPROC, (LONG_PTR)gShadowProc);
}

TEST_F(ShadowButtonTest, TheClickIsSentAfterTheFaceIsBackUp)
{
    Texture();
    HWND b = AddButton(VELLOX_SHADOW_BUTTON_CLASS, 30, 12, 64, 50);
    POINT o = TextureOrigin(b);
    gDialogProc = (WNDPROC)SetWindowLongPtrA(dialog, GWLP_WNDPROC, (LONG_PTR)WatchingProc);
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 10));
    SendMessageA(b, WM_LBUTTONUP, 0, At(20, 10));
    SetWindowLongPtrA(dialog, GWLP_WNDPROC, (LONG_PTR)gDialogProc);
    ASSERT_EQ(1, gCommandsSeen);
    EXPECT_EQ(0, ButtonMismatches(gAtCommand, 8, true, o.x, o.y, 0, GetFocus() == b));
}

TEST_F(ShadowButtonTest, PushedFromOutsideItAnimatesAndIgnoresPresses)
{
    HWND b = AddButton(kRecordingClass, 30, 12, 64, 50);
    SendMessageA(b, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ((std::vector<int>{8, 6, 4, 2}), Depths());
    EXPECT_EQ(1, SendMessageA(b, BM_GETSTATE, 0, 0));
    RecordingShadowButton::paints.clear();
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 10));
    SendMessageA(b, WM_LBUTTONUP, 0, At(20, 10));
    EXPECT_TRUE(Depths().empty());
    EXPECT_TRUE(Commands().empty());
    SendMessageA(b, BM_SETSTATE, FALSE, 0);
    EXPECT_EQ((std::vector<int>{2, 5, 8}), Depths());
    EXPECT_EQ(0, SendMessageA(b, BM_GETSTATE, 0, 0));
    EXPECT_EQ(0x2020, SendMessageA(b, WM_GETDLGCODE, 0, 0));
}

TEST_F(ShadowButtonTest, ADoubleClickIsTwoClicks)
{
    HWND b = AddButton(VELLOX_SHADOW_BUTTON_CLASS, 30, 12, 64, 50, IDCANCEL);
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 10));
    SendMessageA(b, WM_LBUTTONUP, 0, At(20, 10));
    SendMessageA(b, WM_LBUTTONDBLCLK, MK_LBUTTON, At(20, 10));
    SendMessageA(b, WM_LBUTTONUP, 0, At(20, 10));
    ASSERT_EQ(2u, Commands().size());
    EXPECT_EQ(MAKEWPARAM(IDCANCEL, BN_CLICKED), Commands()[0].first);
    EXPECT_EQ(MAKEWPARAM(IDCANCEL, BN_CLICKED), Commands()[1].first);
}

// From the keyboard (whose cues Wine always shows): the space bar presses,
// then clicks; Enter clicks through the dialog; the focused button has a
// dotted rectangle round its face and nowhere else, gone with the focus.
TEST_F(ShadowButtonTest, TheKeyboardFocusesPressesAndClicks)
{
    HWND b = AddButton(kRecordingClass, 30, 12, 64, 50, 5);
    HWND other = AddControl(dialog, "Button", "x", 6, 200, 150, 40, 20, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
    SetFocus(b);
    Pump();
    RecordingShadowButton::paints.clear();
    SendMessageA(b, WM_KEYDOWN, VK_SPACE, 1);
    SendMessageA(b, WM_KEYDOWN, VK_SPACE, 0x40000001);   // a repeat: nothing more
    EXPECT_EQ((std::vector<int>{8, 6, 4, 2}), Depths());
    EXPECT_TRUE(Commands().empty());
    SendMessageA(b, WM_KEYUP, VK_SPACE, 0xC0000001);
    MSG enter = {b, WM_KEYDOWN, VK_RETURN, 1, 0, {0, 0}};
    EXPECT_TRUE(IsDialogMessageA(dialog, &enter));
    ASSERT_EQ(2u, Commands().size());
    EXPECT_EQ(MAKEWPARAM(5, BN_CLICKED), Commands()[0].first);
    EXPECT_EQ(5, LOWORD(Commands()[1].first));

    Pixels shot[3];   // unfocused, focused, unfocused again
    for (int i = 0; i < 3; i++) {
        SetFocus(i == 1 ? b : other);
        Pump();
        ASSERT_TRUE(CaptureClient(b, shot[i]));
        EXPECT_EQ(i == 1 ? 0x2010 : 0x2020, SendMessageA(b, WM_GETDLGCODE, 0, 0));   // default while focused
    }
    int onRect = 0, elsewhere = 0;
    for (int y = 0; y < kWinH; y++)
        for (int x = 0; x < kWinW; x++)
            if (shot[1].At(x, y) != shot[0].At(x, y))
                (x < kFaceW && y < kFaceH && (!x || !y || x == kFaceW - 1 || y == kFaceH - 1) ? onRect : elsewhere)++;
    EXPECT_GT(onRect, kFaceW);
    EXPECT_EQ(0, elsewhere);
    EXPECT_TRUE(shot[2].px == shot[0].px);
}

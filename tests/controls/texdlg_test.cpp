// Textured dialogs: the texture control subclasses its dialog, tiles the
// client area, bevels the frame and registers the texture for controls.
#include <gtest/gtest.h>

#include <string>

#include "controls/control_class.h"
#include "controls/control_mgr.h"
#include "graphics/dib_tex.h"
#include "graphics/tex_dlg.h"
#include "graphics/tex_dlg_ctl.h"
#include "tests/support/ctl_page.h"
#include "tests/support/gfx_dib.h"
#include "tests/support/import_hook.h"
#include "tests/support/win_test.h"

namespace {

const int kTileW = 37, kTileH = 21;

COLORREF Hilight(COLORREF c)
{
    auto up = [](int v) { return v + v / 2 + 40 > 255 ? 255 : v + v / 2 + 40; };
    return RGB(up(GetRValue(c)), up(GetGValue(c)), up(GetBValue(c)));
}

COLORREF Shadow(COLORREF c)
{
    auto down = [](int v) { return v - 60 < 0 ? 0 : v - 60; };
    return RGB(down(GetRValue(c)), down(GetGValue(c)), down(GetBValue(c)));
}

// Texture-space pixel (x, y) of the test texture in a variant.
COLORREF Texel(int x, int y, int variant)
{
    COLORREF c = gfxtest::TestRGB(
        gfxtest::TextureIndex(((x % kTileW) + kTileW) % kTileW, ((y % kTileH) + kTileH) % kTileH));
    return variant == TEX_HILIGHT ? Hilight(c) : variant == TEX_SHADOW ? Shadow(c) : c;
}

MyTexDlgCtl *TexCtlOf(HWND w)
{
    return static_cast<MyTexDlgCtl *>(MyControlMgr::GetWindowObject(w));
}

// The framework with the texture module as the texture class's resources.
class TexturedPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        textures.Add("QZSWIRL", gfxtest::MakeTestTexture(kTileW, kTileH));
        module = textures.Load();
        ASSERT_TRUE(module);
        MyTexDlg->hResInstance = module;
    }
    void TearDown() override
    {
        if (MyTexDlg)
            MyTexDlg->hResInstance = NULL;
    }

    ctltest::Framework up;
    gfxtest::ResourceModule textures;
    HINSTANCE module = NULL;
};

// Watches the dialog's procedure from outside the texture subclass.
WNDPROC gDialogProc = NULL;
bool gSawNcDestroy = false, gRestoredAtNcDestroy = false, gPropsGoneAtNcDestroy = false;
LRESULT CALLBACK OuterProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_NCDESTROY) {
        gSawNcDestroy = true;
        gRestoredAtNcDestroy = (WNDPROC)GetWindowLongPtrA(w, GWLP_WNDPROC) == OuterProc;
        gPropsGoneAtNcDestroy =
            !GetPropA(w, TEXDLG_CONTROL_PROP) && !GetPropA(w, TEXDLG_TEXTURE_PROP);
    }
    return CallWindowProcA(gDialogProc, w, m, wp, lp);
}

} // namespace

TEST_F(TexturedPage, ClientAndFrameAreTexturedInOneTextureSpace)
{
    HWND dlg = ctltest::CreateTestDialog(300, 200);
    ASSERT_TRUE(dlg);
    gDialogProc = (WNDPROC)SetWindowLongPtrA(dlg, GWLP_WNDPROC, (LONG_PTR)OuterProc);
    gSawNcDestroy = gRestoredAtNcDestroy = gPropsGoneAtNcDestroy = false;

    HWND texCtl = ctltest::AddControl(dlg, "VelloxTexDlg", "qzswirl", 1, 400, 150, 60, 30);
    ASSERT_TRUE(texCtl);
    MyTexDlgCtl *ctl = TexCtlOf(texCtl);
    ASSERT_TRUE(ctl);
    EXPECT_EQ(1, ctl->fEnabled);
    TexDlg *painter = ctl->Painter();
    ASSERT_TRUE(painter);
    EXPECT_EQ(dlg, painter->Dialog());
    EXPECT_EQ((WNDPROC)OuterProc, painter->PreviousProc());
    EXPECT_EQ((LONG_PTR)Tex_SubclassProc, GetWindowLongPtrA(dlg, GWLP_WNDPROC));
    EXPECT_EQ((HANDLE)texCtl, GetPropA(dlg, TEXDLG_CONTROL_PROP));
    DIBTex *tex = DlgTexture(dlg);
    ASSERT_EQ(&painter->Texture(), tex);
    EXPECT_EQ(kTileW, tex->Width());
    EXPECT_EQ(kTileH, tex->Height());

    ctltest::ShowAndPaint(dlg);
    wintest::SaveWindowPng(dlg, ctltest::ScreenshotPath("texdlg_test_texture.png").c_str());
    RECT wr, cr;
    GetWindowRect(dlg, &wr);
    GetClientRect(dlg, &cr);
    POINT origin = {0, 0};
    ClientToScreen(dlg, &origin);
    const int offX = origin.x - wr.left, offY = origin.y - wr.top;
    const int W = wr.right - wr.left, H = wr.bottom - wr.top;

    // Client pixel (x, y) is texture-space pixel (x + offX, y + offY).
    wintest::Pixels client;
    ASSERT_TRUE(wintest::CaptureWindow(dlg, client));
    EXPECT_EQ(Texel(offX, offY, TEX_NORMAL), client.Color(0, 0));
    int wrong = 0;
    for (int y = 0; y < cr.bottom; y++)
        for (int x = 0; x < cr.right; x++)
            wrong += client.Color(x, y) != Texel(x + offX, y + offY, TEX_NORMAL);
    EXPECT_EQ(0, wrong);

    // The frame: strips T pixels thick, highlight top and left, shadow
    // bottom and right, in texture space itself.
    const int T = (W - cr.right) / 2;
    EXPECT_EQ(T, painter->FrameThickness());
    ASSERT_GE(T, 1);
    wintest::Pixels whole;
    ASSERT_TRUE(wintest::CaptureWindow(dlg, whole, true));
    EXPECT_EQ(Texel(0, 100, TEX_HILIGHT), whole.Color(0, 100));
    wrong = 0;
    int checked = 0;
    for (int y = T + 1; y < H - T - 1; y++)
        for (int x = 0; x < T; x++) {
            wrong += whole.Color(x, y) != Texel(x, y, TEX_HILIGHT);
            wrong += whole.Color(W - 1 - x, y) != Texel(W - 1 - x, y, TEX_SHADOW);
            checked += 2;
        }
    for (int x = T + 1; x < W - T - 1; x++)
        for (int y = 0; y < T; y++) {
            wrong += whole.Color(x, y) != Texel(x, y, TEX_HILIGHT);
            wrong += whole.Color(x, H - 1 - y) != Texel(x, H - 1 - y, TEX_SHADOW);
            checked += 2;
        }
    EXPECT_EQ(0, wrong) << "of " << checked;
    // Mitred corners: the top-right corner pixel belongs to the top strip's
    // side of the diagonal, the bottom-left one to the left strip.
    EXPECT_EQ(Texel(W - 1 - T + 1, 0, TEX_HILIGHT), whole.Color(W - T, 0));
    EXPECT_EQ(Texel(W - 1, T - 1, TEX_SHADOW), whole.Color(W - 1, T - 1));
    // Between the top strip and the client area the caption stays the system's.
    const int captionY = (T + offY) / 2;
    const COLORREF caption = whole.Color(W / 2, captionY);
    EXPECT_NE(Texel(W / 2, captionY, TEX_HILIGHT), caption);
    EXPECT_NE(Texel(W / 2, captionY, TEX_NORMAL), caption);

    // The regions are made once.
    HRGN top = painter->Region(TEX_FRAME_TOP);
    ASSERT_TRUE(top);
    RedrawWindow(dlg, NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(top, painter->Region(TEX_FRAME_TOP));

    // Erasing the background does nothing and says so.
    HDC dc = GetDC(dlg);
    RECT all = {0, 0, cr.right, cr.bottom};
    FillRect(dc, &all, (HBRUSH)GetStockObject(BLACK_BRUSH));
    ValidateRect(dlg, NULL);
    EXPECT_EQ(0, SendMessageA(dlg, WM_ERASEBKGND, (WPARAM)dc, 0));
    ReleaseDC(dlg, dc);
    ctltest::Settle();
    EXPECT_EQ(RGB(0, 0, 0), wintest::ClientPixel(dlg, 150, 100));
    RedrawWindow(dlg, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    ctltest::Settle();
    EXPECT_EQ(Texel(150 + offX, 100 + offY, TEX_NORMAL), wintest::ClientPixel(dlg, 150, 100));

    // A control at (40, 60) finds its piece of the background.
    HWND spot = ctltest::AddControl(dlg, "Static", "", 9, 40, 60, 50, 30, WS_CHILD);
    POINT offset;
    DIBTex::ControlOffset(spot, offset);
    EXPECT_EQ(40 + offX, offset.x);
    EXPECT_EQ(60 + offY, offset.y);
    wintest::DibCanvas piece(50, 30, RGB(255, 0, 255));
    RECT pr = {0, 0, 50, 30};
    DlgTexture(dlg)->TexMap(piece.dc(), offset.x, offset.y, pr, TEX_NORMAL, SRCCOPY);
    GdiFlush();
    wrong = 0;
    for (int y = 0; y < 30; y++)
        for (int x = 0; x < 50; x++)
            wrong += piece.Get(x, y) != client.Color(40 + x, 60 + y);
    EXPECT_EQ(0, wrong);

    // Frame thickness from the window and client widths, truncated.
    RECT wide = {0, 0, cr.right + 6, H};
    painter->CalcRegions(wide);
    EXPECT_EQ(3, painter->FrameThickness());
    RECT odd = {0, 0, cr.right + 5, H};
    painter->CalcRegions(odd);
    EXPECT_EQ(2, painter->FrameThickness());

    // Destruction removes the subclass before the dialog's WM_NCDESTROY
    // and leaves no property behind.
    DestroyWindow(dlg);
    EXPECT_TRUE(gSawNcDestroy);
    EXPECT_TRUE(gRestoredAtNcDestroy);
    EXPECT_TRUE(gPropsGoneAtNcDestroy);
    EXPECT_EQ(NULL, DlgTexture(dlg));
}

TEST_F(TexturedPage, TextureRegistrationAndRefusals)
{
    EXPECT_EQ(NULL, DlgTexture(NULL));
    EXPECT_EQ(NULL, DlgTexture((void *)(INT_PTR)0x12345678));
    EXPECT_EQ(0, SetDlgDIBTex(NULL, NULL));

    // No texture name: the dialog keeps its own painting.
    HWND plain = ctltest::CreateTestDialog(200, 100);
    LONG_PTR ownProc = GetWindowLongPtrA(plain, GWLP_WNDPROC);
    HWND nameless = ctltest::AddControl(plain, "VelloxTexDlg", "", 1, 300, 0, 40, 20);
    ASSERT_TRUE(nameless);
    EXPECT_EQ(NULL, TexCtlOf(nameless)->Painter());
    EXPECT_EQ(ownProc, GetWindowLongPtrA(plain, GWLP_WNDPROC));
    EXPECT_EQ(NULL, DlgTexture(plain));
    EXPECT_EQ(NULL, GetPropA(plain, TEXDLG_CONTROL_PROP));

    // The registration block is replaced and freed.
    DIBTex a(module, "QZSWIRL"), b(module, "QZSWIRL");
    EXPECT_EQ(1, SetDlgDIBTex(plain, &a));
    HGLOBAL first = (HGLOBAL)GetPropA(plain, TEXDLG_TEXTURE_PROP);
    ASSERT_TRUE(first);
    EXPECT_EQ(&a, DlgTexture(plain));
    EXPECT_EQ(1, SetDlgDIBTex(plain, &b));
    EXPECT_EQ(&b, DlgTexture(plain));
    EXPECT_EQ(1, SetDlgDIBTex(plain, NULL));
    EXPECT_EQ(NULL, GetPropA(plain, TEXDLG_TEXTURE_PROP));
    EXPECT_EQ(NULL, DlgTexture(plain));
    DestroyWindow(plain);

    // A second texture control leaves the first in charge.
    HWND dlg = ctltest::CreateTestDialog(200, 100);
    HWND one = ctltest::AddControl(dlg, "VelloxTexDlg", "QzSwirl", 1, 300, 0, 40, 20);
    HWND two = ctltest::AddControl(dlg, "VelloxTexDlg", "QzSwirl", 2, 300, 30, 40, 20);
    ASSERT_TRUE(one && two);
    ASSERT_TRUE(TexCtlOf(one)->Painter());
    EXPECT_EQ(NULL, TexCtlOf(two)->Painter());
    EXPECT_EQ((HANDLE)one, GetPropA(dlg, TEXDLG_CONTROL_PROP));
    EXPECT_EQ(&TexCtlOf(one)->Painter()->Texture(), DlgTexture(dlg));
    ctltest::ShowAndPaint(dlg);
    POINT origin = {0, 0};
    ClientToScreen(dlg, &origin);
    RECT wr;
    GetWindowRect(dlg, &wr);
    EXPECT_EQ(Texel(10 + origin.x - wr.left, 10 + origin.y - wr.top, TEX_NORMAL),
              wintest::ClientPixel(dlg, 10, 10));
    DestroyWindow(two);   // the refused one takes nothing with it
    EXPECT_EQ((HANDLE)one, GetPropA(dlg, TEXDLG_CONTROL_PROP));
    EXPECT_TRUE(DlgTexture(dlg) != NULL);
    DestroyWindow(dlg);

    // A missing texture: the dialog is subclassed with an empty texture.
    HWND bare = ctltest::CreateTestDialog(200, 100);
    HWND missing = ctltest::AddControl(bare, "VelloxTexDlg", "NoSuchTexture", 1, 300, 0, 40, 20);
    ASSERT_TRUE(TexCtlOf(missing)->Painter());
    ASSERT_TRUE(DlgTexture(bare));
    EXPECT_TRUE(DlgTexture(bare)->IsEmpty());
    ctltest::ShowAndPaint(bare);   // paints nothing, fails nothing
    DestroyWindow(bare);
}

TEST_F(TexturedPage, WithoutItsPainterTheDialogKeepsWorking)
{
    // The subclass procedure on a dialog whose texture control is not
    // there: messages reach the dialog manager and the page's procedure.
    HWND dlg = ctltest::CreateTestDialog(200, 100);
    ASSERT_TRUE(dlg);
    LONG_PTR own = SetWindowLongPtrA(dlg, GWLP_WNDPROC, (LONG_PTR)Tex_SubclassProc);
    ctltest::Commands().clear();
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), 0);
    ASSERT_EQ(1u, ctltest::Commands().size());
    EXPECT_EQ(MAKEWPARAM(7, BN_CLICKED), ctltest::Commands()[0].first);
    char caption[8] = "";
    EXPECT_EQ(1, SendMessageA(dlg, WM_GETTEXT, sizeof caption, (LPARAM)caption));
    EXPECT_STREQ("T", caption);

    // The same once a texture control has come and gone.
    SetWindowLongPtrA(dlg, GWLP_WNDPROC, own);
    HWND texCtl = ctltest::AddControl(dlg, "VelloxTexDlg", "QzSwirl", 1, 300, 0, 40, 20);
    ASSERT_TRUE(TexCtlOf(texCtl)->Painter());
    SetPropA(dlg, TEXDLG_CONTROL_PROP, NULL);
    ctltest::Commands().clear();
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(8, BN_CLICKED), 0);
    EXPECT_EQ(1u, ctltest::Commands().size());
    SetPropA(dlg, TEXDLG_CONTROL_PROP, texCtl);
    DestroyWindow(dlg);
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

TEST_F(TexturedPage, MakesNoDrawingObjectsItDoesNotDelete)
{
    auto cycle = []() {
        HWND dlg = ctltest::CreateTestDialog(200, 100);
        ctltest::AddControl(dlg, "VelloxTexDlg", "QzSwirl", 1, 300, 0, 40, 20);
        ctltest::ShowAndPaint(dlg);
        RedrawWindow(dlg, NULL, NULL, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        ImportHook caps("GetDeviceCaps", (void *)DisplayCaps);
        ASSERT_TRUE(caps.ok());
        gCaps = (CapsFn)caps.original();
        // Activated on a palette display, the page puts its texture's
        // colours into the palette.
        gPaletteCaps = RC_PALETTE;
        EXPECT_EQ(TRUE, SendMessageA(dlg, WM_QUERYNEWPALETTE, 0, 0));
        // A true-colour display has none: the page realizes nothing, and
        // no other window is told of a palette change.
        gPaletteCaps = 0;
        EXPECT_EQ(FALSE, SendMessageA(dlg, WM_QUERYNEWPALETTE, 0, 0));
        DestroyWindow(dlg);
        wintest::Pump(20);
    };
    cycle();   // the system makes its own objects for the first dialog
    int before = wintest::GdiObjectCount();
    ASSERT_GE(before, 0);
    for (int i = 0; i < 3; i++)
        cycle();
    EXPECT_EQ(before, wintest::GdiObjectCount());
}

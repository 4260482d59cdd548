// The installer's own pages built from their templates: textured client
// and frame, frame panel, texts and progress graph together.
#include <gtest/gtest.h>

#include "controls/control_class.h"
#include "controls/control_mgr.h"
#include "controls/graph_ctl.h"
#include "graphics/dib_tex.h"
#include "graphics/tex_dlg.h"
#include "resources/resource_ids.h"
#include "tests/support/ctl_page.h"
#include "tests/support/win_test.h"

TEST(TexturedPages, InstallingPageShowsTextureFrameTextsAndGraph)
{
    ctltest::Framework up;
    HWND page = wintest::CreatePage("INSTALLING");
    ASSERT_TRUE(page);
    DIBTex *tex = DlgTexture(page);
    ASSERT_TRUE(tex);
    ASSERT_FALSE(tex->IsEmpty());
    HWND graph = GetDlgItem(page, IDC_PROGRESS);
    ASSERT_TRUE(graph);
    SendMessageA(graph, GRAPH_SETRANGE, 0, 0x00640000);
    SendMessageA(graph, GRAPH_SETPOS, 1, 50);
    HWND source = GetDlgItem(page, IDC_COPY_SOURCE), target = GetDlgItem(page, IDC_COPY_TARGET);
    ASSERT_TRUE(source && target);
    SetWindowTextA(source, "zrfilt32._bf");
    SetWindowTextA(target, "c:\\photoshp\\plugins\\zrfilt32.8bf");
    UpdateWindow(source);
    UpdateWindow(target);
    ctltest::Settle();
    wintest::SaveWindowPng(page, ctltest::ScreenshotPath("page_installing.png").c_str());

    // Around the frame panel the client shows the texture in place.
    RECT wr, cr;
    GetWindowRect(page, &wr);
    GetClientRect(page, &cr);
    POINT origin = {0, 0};
    ClientToScreen(page, &origin);
    wintest::Pixels client;
    ASSERT_TRUE(wintest::CaptureWindow(page, client));
    wintest::DibCanvas expected(cr.right, cr.bottom);
    tex->TexMap(expected.dc(), origin.x - wr.left, origin.y - wr.top, cr, TEX_NORMAL, SRCCOPY);
    GdiFlush();
    int textured = 0, matching = 0;
    for (int x = 0; x < cr.right; x++) {
        int y = cr.bottom - 2;   // the bottom row, beside the Cancel button
        if (x > cr.right / 3 && x < 2 * cr.right / 3)
            continue;
        textured++;
        matching += client.Color(x, y) == expected.Get(x, y);
    }
    EXPECT_EQ(textured, matching);

    // The graph's bar: dark on the left half, window colour on the right.
    RECT gr;
    GetClientRect(graph, &gr);
    wintest::Pixels bar;
    ASSERT_TRUE(wintest::CaptureWindow(graph, bar));
    EXPECT_EQ(RGB(64, 64, 64), bar.Color(4, 2));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), bar.Color(gr.right - 4, 2));
    DestroyWindow(page);
}

namespace {

// Pixels of the four bevel strips of a textured page that the screen shows
// differently from the texture (highlight top and left, shadow bottom and
// right; the mitred corners are left out).
int BevelMismatches(HWND page, int *checked)
{
    DIBTex *tex = DlgTexture(page);
    wintest::Pixels whole;
    if (!tex || !wintest::CaptureWindow(page, whole, true))
        return -1;
    RECT wr, cr;
    GetWindowRect(page, &wr);
    GetClientRect(page, &cr);
    const int W = wr.right - wr.left, H = wr.bottom - wr.top, T = (W - cr.right) / 2;
    RECT all = {0, 0, W, H};
    wintest::DibCanvas light(W, H), dark(W, H);
    tex->TexMap(light.dc(), 0, 0, all, TEX_HILIGHT, SRCCOPY);
    tex->TexMap(dark.dc(), 0, 0, all, TEX_SHADOW, SRCCOPY);
    GdiFlush();
    int wrong = 0;
    *checked = 0;
    for (int i = 0; i < T; i++) {
        for (int y = T + 1; y < H - T - 1; y++) {
            wrong += whole.Color(i, y) != light.Get(i, y);
            wrong += whole.Color(W - 1 - i, y) != dark.Get(W - 1 - i, y);
            *checked += 2;
        }
        for (int x = T + 1; x < W - T - 1; x++) {
            wrong += whole.Color(x, i) != light.Get(x, i);
            wrong += whole.Color(x, H - 1 - i) != dark.Get(x, H - 1 - i);
            *checked += 2;
        }
    }
    return wrong;
}

} // namespace

TEST(TexturedPages, TheBevelSurvivesActivationChanges)
{
    // INSTALLING behind an ALERT, and again after the ALERT has gone.
    ctltest::Framework up;
    HWND page = wintest::CreatePage("INSTALLING");
    ASSERT_TRUE(page);
    SetActiveWindow(page);
    ctltest::Settle();
    int checked = 0;
    EXPECT_EQ(0, BevelMismatches(page, &checked));
    EXPECT_GT(checked, 1000);

    HWND alert = wintest::CreatePage("ALERT", NULL, 0, page);
    ASSERT_TRUE(alert);
    // Beside the page, so that the whole frame stays in sight.
    RECT pr;
    GetWindowRect(page, &pr);
    SetWindowPos(alert, NULL, pr.right + 10, pr.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetActiveWindow(alert);
    ctltest::Settle();
    ASSERT_EQ(alert, GetActiveWindow());
    EXPECT_EQ(0, BevelMismatches(page, &checked)) << "behind the alert";
    wintest::SaveWindowPng(page, ctltest::ScreenshotPath("page_installing_inactive.png").c_str());

    DestroyWindow(alert);
    SetActiveWindow(page);
    ctltest::Settle();
    ASSERT_EQ(page, GetActiveWindow());
    EXPECT_EQ(0, BevelMismatches(page, &checked)) << "active again";

    // The same by the message alone, as the system sends it.
    SendMessageA(page, WM_NCACTIVATE, FALSE, 0);
    ctltest::Settle();
    EXPECT_EQ(0, BevelMismatches(page, &checked)) << "WM_NCACTIVATE FALSE";
    SendMessageA(page, WM_NCACTIVATE, TRUE, 0);
    ctltest::Settle();
    EXPECT_EQ(0, BevelMismatches(page, &checked)) << "WM_NCACTIVATE TRUE";

    // Hidden, the page gives up the activation unseen; shown again, its
    // frame is drawn anew.
    ShowWindow(page, SW_HIDE);
    ctltest::Settle();
    ShowWindow(page, SW_SHOW);
    SetActiveWindow(page);
    ctltest::Settle();
    EXPECT_EQ(0, BevelMismatches(page, &checked)) << "hidden and shown again";
    DestroyWindow(page);
}

TEST(TexturedPages, ScreenshotsOfThePages)
{
    ctltest::Framework up;
    const char *pages[] = {"WELCOME", "PLATFORM", "PLUGIN", "DONE", "FAILURE", "ALERT", "BADPATH"};
    for (const char *name : pages) {
        SCOPED_TRACE(name);
        HWND page = wintest::CreatePage(name);
        ASSERT_TRUE(page);
        EXPECT_TRUE(DlgTexture(page) != NULL);
        ctltest::Settle();
        std::string file = std::string("page_") + name + ".png";
        EXPECT_TRUE(wintest::SaveWindowPng(page, ctltest::ScreenshotPath(file.c_str()).c_str()));
        DestroyWindow(page);
        EXPECT_EQ(NULL, DlgTexture(page));
    }
}

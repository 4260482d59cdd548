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

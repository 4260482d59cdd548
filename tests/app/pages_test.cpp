// The message pages and the ALERT page, run modally from their templates
// and read and answered while they are up.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>

#include "app/globals.h"
#include "app/dialogs.h"
#include "app/pages.h"
#include "controls/control_class.h"
#include "tests/app/app_test_util.h"
#include "tests/support/win_test.h"

using namespace apptest;

namespace {

bool ClassRegistered(const char *name)
{
    WNDCLASSA wc;
    return GetClassInfoA(ghInst, name, &wc) != 0;
}

std::string LoadString(UINT id)
{
    char buf[512] = "";
    LoadStringA(ghInst, id, buf, sizeof buf);
    return buf;
}

TEST(ShowAlert, ShowsTheStringResource)
{
    PageWatcher alerts("Alert!", IDOK);
    EXPECT_EQ(IDOK, ShowAlert(5700));
    ASSERT_EQ(1, alerts.Seen());
    EXPECT_EQ("Where is your Photoshop 3.0/Photopaint 6.0 plug-in directory?", alerts.Texts()[0]);
}

TEST(ShowAlert, LongStringIsCutTo119Characters)
{
    std::string full = LoadString(5000);
    ASSERT_GT(full.size(), 119u);
    PageWatcher alerts("Alert!", IDOK);
    ShowAlert(5000);
    ASSERT_EQ(1, alerts.Seen());
    EXPECT_EQ(full.substr(0, 119), alerts.Texts()[0]);
}

TEST(ShowAlert, UnknownIdShowsBadErrorWithTheSigned16BitId)
{
    PageWatcher alerts("Alert!", IDOK);
    ShowAlert(40000);
    ShowAlert(4321);
    ASSERT_EQ(2, alerts.Seen());
    EXPECT_EQ("Bad error (-25536)", alerts.Texts()[0]);
    EXPECT_EQ("Bad error (4321)", alerts.Texts()[1]);
}

TEST(ShowAlertStr, LongTextIsKeptTo299Characters)
{
    std::string text(400, 'w');
    for (size_t i = 7; i < text.size(); i += 8)
        text[i] = ' ';
    PageWatcher alerts("Alert!", IDOK);
    ShowAlertStr(text.c_str());
    ASSERT_EQ(1, alerts.Seen());
    EXPECT_EQ(text.substr(0, 299), alerts.Texts()[0]);
}

TEST(ShowAlertStr, RegistersTheControlsOnlyWhileTheAlertIsUp)
{
    ASSERT_FALSE(ClassRegistered("VelloxMText"));
    bool during = false;
    PageWatcher alerts("Alert!", IDOK);
    alerts.OnPage([&](HWND) { during = ClassRegistered("VelloxMText") &&
                                        ClassRegistered("VelloxShadButt"); });
    EXPECT_EQ(IDOK, ShowAlertStr("framework check"));
    EXPECT_TRUE(during);
    EXPECT_FALSE(ClassRegistered("VelloxMText"));
}

TEST(ShowAlertStr, CloseBoxAndAltF4ActAsOk)
{
    {
        PageWatcher alerts("Alert!", 0);
        alerts.OnPage([](HWND page) { PostMessageA(page, WM_CLOSE, 0, 0); });
        EXPECT_EQ(IDOK, ShowAlertStr("close box"));
        EXPECT_EQ(1, alerts.Seen());
    }
    {
        PageWatcher alerts("Alert!", 0);
        alerts.OnPage([](HWND page) { PostMessageA(page, WM_SYSCOMMAND, SC_CLOSE, 0); });
        EXPECT_EQ(IDOK, ShowAlertStr("alt f4"));
        EXPECT_EQ(1, alerts.Seen());
    }
}

TEST(ShowAlertStr, EscapeEndsWithTwo)
{
    PageWatcher alerts("Alert!", 0);
    alerts.OnPage([](HWND page) {
        HWND focus = GetFocus();
        PostMessageA(focus ? focus : page, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(IDCANCEL, ShowAlertStr("escape"));
}

// Runs a message page with GenericDlgProc and answers it with a key.
struct GenericRun {
    INT_PTR result = 0;
    bool focusOnOk = false;
    int seen = 0;
};

GenericRun RunGeneric(const char *name, const char *caption, UINT key, const char *png)
{
    GenericRun run;
    PageWatcher pages(caption, 0);
    pages.OnPage([&](HWND page) {
        run.focusOnOk = GetFocus() == GetDlgItem(page, IDOK);
        if (png)
            wintest::SaveWindowPng(page, ShotPath(png).c_str());
        PostMessageA(GetFocus() ? GetFocus() : page, WM_KEYDOWN, key, 0);
    });
    run.result = ShowModalDialog(name, GenericDlgProc, NULL, 0);
    run.seen = pages.Seen();
    return run;
}

// The pages need the custom control classes, as under the main window.
class GenericPage : public testing::Test {
protected:
    void SetUp() override { Init_Controls(); }
    void TearDown() override { Terminate_Controls(); }
};

// The page on screen owns the alert, even while another window (on
// Windows 3.1 perhaps another program's) has the focus: a modal page, a
// page it opened, or else the INSTALLING page.
TEST_F(GenericPage, AlertIsOwnedByThePageOnScreenAndCentred)
{
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100,
                                 NULL, NULL, ghInst, NULL);
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 5, 5, 100, 20, other, NULL,
                                ghInst, NULL);
    ASSERT_TRUE(edit);
    RECT rc = {0, 0, 0, 0};
    PageWatcher alerts("Alert!", IDOK);
    alerts.OnPage([&](HWND page) {
        if (rc.right)
            return;
        GetWindowRect(page, &rc);
        wintest::SaveWindowPng(page, ShotPath("app-alert.png").c_str());
    });
    HWND outer = NULL, inner = NULL;
    PageWatcher failures("Warning...", IDOK);
    failures.OnPage([&](HWND page) {
        inner = page;
        SetFocus(edit);
        ShowAlertStr("from the page on top");
    });
    PageWatcher welcomes("Welcome!", IDCANCEL);
    welcomes.OnPage([&](HWND page) {
        outer = page;
        SetFocus(edit);
        ShowAlertStr("Cannot open \"c:\\plugins\\zrfilt32.8bf\"");
        ShowModalDialog("Failure", GenericDlgProc, page, 0);
        SetFocus(edit);
        ShowAlertStr("from the page below again");
    });
    EXPECT_EQ(IDCANCEL, ShowModalDialog("Welcome", GenericDlgProc, NULL, 0));
    EXPECT_EQ(nullptr, ghPage);

    // Without a modal page, the INSTALLING page owns it.
    ghStatus = other;
    SetFocus(edit);
    ShowAlertStr("while installing");
    ghStatus = NULL;

    ASSERT_EQ(4, alerts.Seen());
    ASSERT_TRUE(outer && inner);
    EXPECT_EQ(outer, alerts.Owners()[0]);
    EXPECT_EQ(inner, alerts.Owners()[1]);
    EXPECT_EQ(outer, alerts.Owners()[2]);
    EXPECT_EQ(other, alerts.Owners()[3]);
    EXPECT_EQ((1024 - (rc.right - rc.left)) / 2, rc.left);
    EXPECT_EQ((768 - (rc.bottom - rc.top)) / 2, rc.top);
    DestroyWindow(other);
}

TEST_F(GenericPage, WelcomeEnterContinuesEscapeExits)
{
    GenericRun enter = RunGeneric("Welcome", "Welcome!", VK_RETURN, "app-welcome.png");
    EXPECT_EQ(1, enter.seen);
    EXPECT_TRUE(enter.focusOnOk);
    EXPECT_EQ(IDOK, enter.result);
    GenericRun escape = RunGeneric("Welcome", "Welcome!", VK_ESCAPE, NULL);
    EXPECT_EQ(IDCANCEL, escape.result);
}

TEST_F(GenericPage, DoneAndFailureEndOnOkOrEscape)
{
    GenericRun done = RunGeneric("Done", "Congratulations...", VK_RETURN, "app-done.png");
    EXPECT_EQ(1, done.seen);
    EXPECT_TRUE(done.focusOnOk);
    EXPECT_EQ(IDOK, done.result);
    GenericRun failure = RunGeneric("Failure", "Warning...", VK_ESCAPE, "app-failure.png");
    EXPECT_EQ(IDCANCEL, failure.result);
}

TEST_F(GenericPage, CloseBoxEndsWithTwo)
{
    PageWatcher pages("Welcome!", 0);
    pages.OnPage([](HWND page) { PostMessageA(page, WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_EQ(IDCANCEL, ShowModalDialog("Welcome", GenericDlgProc, NULL, 0));
}

} // namespace

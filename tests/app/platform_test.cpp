// Platform detection and the PLATFORM page with its three check boxes.
#include <windows.h>
#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/dialogs.h"
#include "app/platform.h"
#include "controls/control_class.h"
#include "resources/resource_ids.h"
#include "tests/app/app_test_util.h"
#include "tests/support/win_test.h"

using namespace apptest;

namespace {

const int kBoxes[3] = {IDC_WIN31, IDC_WINNT, IDC_WIN95};

// The states of the boxes 2001, 2002, 2003 as a three-letter string.
std::string States(HWND page)
{
    std::string s;
    for (int id : kBoxes)
        s += SendDlgItemMessageA(page, id, WM_USER + 1, 0, 0) ? 'x' : '-';
    return s;
}

void ClickBox(HWND page, int id)
{
    HWND box = GetDlgItem(page, id);
    RECT rc;
    GetClientRect(box, &rc);
    wintest::Click(box, 10, rc.bottom / 2);
}

TEST(Platform, DefaultPrefixIsWindowsNT)
{
    // The throw-away prefix reports an NT-family Windows.
    EXPECT_EQ((DWORD)PLATFORM_WINNT, Platform());
}

class PlatformPage : public testing::Test {
protected:
    void SetUp() override { Init_Controls(); }
    void TearDown() override { Terminate_Controls(); }

    // Runs the page modally; the inspector acts on it, then it is ended
    // with the key given (0: the inspector ends it).
    INT_PTR Run(DWORD *platform, std::function<void(HWND)> inspector, UINT key)
    {
        PageWatcher pages("Platform", 0);
        pages.OnPage([&](HWND page) {
            inspector(page);
            if (key)
                PostMessageA(GetFocus() ? GetFocus() : page, WM_KEYDOWN, key, 0);
        });
        INT_PTR rc = ShowModalDialog("Platform", PlatformDlgProc, NULL, (LPARAM)platform);
        seen = pages.Seen();
        return rc;
    }
    int seen = 0;
};

TEST_F(PlatformPage, OpensWithTheDetectedBoxAndFocusOnContinue)
{
    DWORD platform = PLATFORM_WINNT;
    std::string states;
    bool focus = false;
    INT_PTR rc = Run(&platform, [&](HWND page) {
        states = States(page);
        focus = GetFocus() == GetDlgItem(page, IDOK);
        wintest::SaveWindowPng(page, ShotPath("app-platform.png").c_str());
    }, VK_RETURN);
    EXPECT_EQ(1, seen);
    EXPECT_EQ("-x-", states);
    EXPECT_TRUE(focus);
    EXPECT_EQ(IDOK, rc);
    EXPECT_EQ((DWORD)PLATFORM_WINNT, platform);
}

TEST_F(PlatformPage, BoxesActAsRadioButtons)
{
    DWORD platform = PLATFORM_WINNT;
    std::string afterFirst, afterSecond, afterThird;
    INT_PTR rc = Run(&platform, [&](HWND page) {
        ClickBox(page, IDC_WIN95);
        afterFirst = States(page);
        ClickBox(page, IDC_WIN95);   // already checked: stays checked
        afterSecond = States(page);
        ClickBox(page, IDC_WIN31);
        ClickBox(page, IDC_WIN95);
        afterThird = States(page);
        wintest::SaveWindowPng(page, ShotPath("app-platform-95.png").c_str());
    }, VK_RETURN);
    EXPECT_EQ("--x", afterFirst);
    EXPECT_EQ("--x", afterSecond);
    EXPECT_EQ("--x", afterThird);
    EXPECT_EQ(IDOK, rc);
    EXPECT_EQ((DWORD)PLATFORM_WIN95, platform);
}

TEST_F(PlatformPage, ExitLeavesTheVariableAlone)
{
    DWORD platform = PLATFORM_WINNT;
    INT_PTR rc = Run(&platform, [&](HWND page) { ClickBox(page, IDC_WIN31); }, VK_ESCAPE);
    EXPECT_EQ(IDCANCEL, rc);
    EXPECT_EQ((DWORD)PLATFORM_WINNT, platform);
}

TEST_F(PlatformPage, NoBoxCheckedReadsAsWin31)
{
    DWORD platform = PLATFORM_WIN95;
    std::string states;
    INT_PTR rc = Run(&platform, [&](HWND page) {
        for (int id : kBoxes)
            SendDlgItemMessageA(page, id, WM_USER, 0, 0);
        states = States(page);
        PostMessageA(page, WM_COMMAND, IDOK, 0);
    }, 0);
    EXPECT_EQ("---", states);
    EXPECT_EQ(IDOK, rc);
    EXPECT_EQ((DWORD)PLATFORM_WIN31, platform);
}

// A page procedure that records the commands the boxes send.
int gCommands = 0;
INT_PTR CALLBACK RecordingProc(HWND, UINT msg, WPARAM, LPARAM)
{
    if (msg == WM_COMMAND)
        gCommands++;
    return msg == WM_INITDIALOG;
}

TEST_F(PlatformPage, CheckPlatformSetsQuietlyAndGetPlatformReads)
{
    HWND page = wintest::CreatePage("Platform", RecordingProc);
    ASSERT_TRUE(page);
    gCommands = 0;
    CheckPlatform(page, PLATFORM_WIN31);
    EXPECT_EQ("x--", States(page));
    EXPECT_EQ((DWORD)PLATFORM_WIN31, GetPlatform(page));
    CheckPlatform(page, PLATFORM_WIN95);
    EXPECT_EQ("--x", States(page));
    EXPECT_EQ((DWORD)PLATFORM_WIN95, GetPlatform(page));
    CheckPlatform(page, PLATFORM_WINNT);
    EXPECT_EQ((DWORD)PLATFORM_WINNT, GetPlatform(page));
    // A mask of two platforms is no single box.
    CheckPlatform(page, PLATFORM_WINNT | PLATFORM_WIN95);
    EXPECT_EQ("---", States(page));
    EXPECT_EQ((DWORD)PLATFORM_WIN31, GetPlatform(page));
    EXPECT_EQ(0, gCommands);
    DestroyWindow(page);
}

} // namespace

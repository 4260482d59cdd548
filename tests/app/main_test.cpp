// Switches, the setup message, fonts, the modeless page's keys and the logo.
#include <windows.h>
#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/main.h"

namespace {

struct Flags {
    int scan, network, force;
};

// Scans a whole command line from fresh defaults.
Flags Scan(const char *commandLine)
{
    gfScan = 1;
    gfNetworkWin = 0;
    gfForceMSVC = 0;
    ScanSwitches(ArgumentText(commandLine));
    Flags f = {gfScan, gfNetworkWin, gfForceMSVC};
    gfScan = 1;
    gfNetworkWin = 0;
    gfForceMSVC = 0;
    return f;
}

void ExpectFlags(const char *commandLine, int scan, int network, int force)
{
    Flags f = Scan(commandLine);
    EXPECT_EQ(scan, f.scan) << commandLine;
    EXPECT_EQ(network, f.network) << commandLine;
    EXPECT_EQ(force, f.force) << commandLine;
}

TEST(Switches, NoArgumentsKeepTheDefaults)
{
    ExpectFlags("setup.exe", 1, 0, 0);
    ExpectFlags("setup.exe   ", 1, 0, 0);
    ExpectFlags("", 1, 0, 0);
}

TEST(Switches, PrefixAndCaseDoNotMatter)
{
    ExpectFlags("setup.exe -S", 0, 0, 0);
    ExpectFlags("setup.exe /s", 0, 0, 0);
    ExpectFlags("setup.exe -s", 0, 0, 0);
    ExpectFlags("setup.exe /N", 1, 1, 0);
    ExpectFlags("setup.exe -m", 1, 0, 1);
    ExpectFlags("setup.exe /M", 1, 0, 1);
}

TEST(Switches, UnknownLettersChangeNothing)
{
    ExpectFlags("setup.exe -x", 1, 0, 0);
    ExpectFlags("setup.exe -x /q -1", 1, 0, 0);
    ExpectFlags("setup.exe -", 1, 0, 0);
    ExpectFlags("setup.exe /", 1, 0, 0);
}

TEST(Switches, OnlyTheLetterAfterThePrefixCounts)
{
    ExpectFlags("setup.exe -sn", 0, 0, 0);
    ExpectFlags("setup.exe -silent", 0, 0, 0);
    ExpectFlags("setup.exe -nm", 1, 1, 0);
}

TEST(Switches, SeveralSwitchesWithOrWithoutBlanks)
{
    ExpectFlags("setup.exe -s-n", 0, 1, 0);
    ExpectFlags("setup.exe -s /n", 0, 1, 0);
    ExpectFlags("setup.exe /S/N", 0, 1, 0);
    ExpectFlags("setup.exe -s -n -m", 0, 1, 1);
    ExpectFlags("setup.exe --s", 0, 0, 0);
}

TEST(Switches, DashInsideAnArgumentCounts)
{
    ExpectFlags("setup.exe c:\\my-net", 1, 1, 0);
    ExpectFlags("setup.exe c:\\my-stuff", 0, 0, 0);
}

TEST(Switches, ProgramPathIsRemovedBeforeScanning)
{
    ExpectFlags("C:\\x-s\\set-net\\setup.exe", 1, 0, 0);
    ExpectFlags("C:\\x-s\\setup.exe -m", 1, 0, 1);
    ExpectFlags("\"C:\\my -stuff\\n-m\\setup.exe\"", 1, 0, 0);
    ExpectFlags("\"C:\\my -stuff\\n-m\\setup.exe\" /n", 1, 1, 0);
    EXPECT_STREQ("-s /n", ArgumentText("\"C:\\a b\\setup.exe\"   -s /n"));
    EXPECT_STREQ("-s", ArgumentText("setup.exe\t-s"));
    EXPECT_STREQ("", ArgumentText("\"C:\\unterminated -s"));
}

HWND MakePopup(int w, int h)
{
    return CreateWindowExA(0, "STATIC", "popup", WS_POPUP, 5, 7, w, h, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
}

TEST(SetupMsg, IsTheRegisteredQzSetupMessage)
{
    UINT first = SetupMsg();
    EXPECT_GE(first, 0xC000u);
    EXPECT_EQ(first, SetupMsg());
    EXPECT_EQ(first, RegisterWindowMessageA("QzSetup"));
}

TEST(MakeFont, GivesArialWithTheCharacterHeight)
{
    HFONT font = MakeFont(30);
    ASSERT_TRUE(font);
    LOGFONTA lf;
    ASSERT_EQ((int)sizeof lf, GetObjectA(font, sizeof lf, &lf));
    EXPECT_EQ(-30, lf.lfHeight);
    EXPECT_STREQ("Arial", lf.lfFaceName);
    EXPECT_EQ(0, lf.lfWeight);

    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm;
    ASSERT_TRUE(GetTextMetricsA(dc, &tm));
    // The font mapper rounds the em height to whole pixels of its own.
    EXPECT_NEAR(30, tm.tmHeight - tm.tmInternalLeading, 1);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
}

TEST(ModelessDlgMessage, OnlyALiveDialogConsumes)
{
    MSG msg;
    ZeroMemory(&msg, sizeof msg);
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_TAB;
    EXPECT_EQ(0, ModelessDlgMessage(NULL, &msg));

    HWND w = MakePopup(20, 20);
    DestroyWindow(w);
    EXPECT_EQ(0, ModelessDlgMessage(w, &msg));
}

TEST(LoadAPMMetaFile, MissingResourceGivesNull)
{
    EXPECT_EQ(NULL, LoadAPMMetaFile(GetModuleHandleA(NULL), "NoSuchLogo"));
}

} // namespace

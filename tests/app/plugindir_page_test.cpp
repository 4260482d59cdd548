// The PLUGIN page run modally from its template: the proposal, the space
// texts, Continue with its checks, and the BADPATH page.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>

#include "app/globals.h"
#include "app/install.h"
#include "app/dialogs.h"
#include "app/platform.h"
#include "app/plugindir.h"
#include "app/syslibs.h"
#include "controls/control_class.h"
#include "resources/resource_ids.h"
#include "tests/app/app_test_util.h"
#include "tests/support/win_test.h"

using namespace apptest;

namespace {

struct PageState {
    std::string edit, required, free;
    bool continueEnabled = false;
    bool focusInEdit = false;
};

PageState Read(HWND page)
{
    PageState s;
    char buf[PATH_SIZE] = "";
    GetDlgItemTextA(page, IDC_PATH, buf, sizeof buf);
    s.edit = buf;
    s.required = ControlText(page, IDC_SPACE_REQUIRED);
    s.free = ControlText(page, IDC_SPACE_FREE);
    s.continueEnabled = IsWindowEnabled(GetDlgItem(page, IDOK)) != 0;
    s.focusInEdit = GetFocus() == GetDlgItem(page, IDC_PATH);
    return s;
}

void Type(HWND page, const std::string &text)
{
    SetDlgItemTextA(page, IDC_PATH, text.c_str());
}

void PressContinue(HWND page)
{
    SendMessageA(GetDlgItem(page, IDOK), BM_CLICK, 0, 0);
}

void PressEscape(HWND page)
{
    PostMessageA(GetFocus() ? GetFocus() : page, WM_KEYDOWN, VK_ESCAPE, 0);
}

class PlugInPage : public testing::Test {
protected:
    void SetUp() override
    {
        Init_Controls();
        char win[MAX_PATH];
        GetWindowsDirectoryA(win, MAX_PATH);
        ini = std::string(win) + "\\photos30.ini";
        DeleteFileA(ini.c_str());
        gfScan = 1;
    }
    void TearDown() override
    {
        DeleteFileA(ini.c_str());
        gfScan = 1;
        SetSpaceRequired(SPACE_REQUIRED_KB);
        Terminate_Controls();
    }
    INT_PTR Run(std::function<void(HWND)> inspector)
    {
        PageWatcher pages("Plug-in location...", 0);
        pages.OnPage(inspector);
        INT_PTR rc = ShowModalDialog("PlugIn", PathDlgProc, NULL, (LPARAM)dir);
        seen = pages.Seen();
        return rc;
    }
    std::string ini;
    char dir[PATH_SIZE] = "";
    int seen = 0;
};

TEST_F(PlugInPage, ProposesTheHostSettingWithoutLookingAtTheDisk)
{
    ASSERT_TRUE(WriteBytes(ini, "[Photoshop]\r\nPlugInDirectory=D:\\PS\\PLUGINS\r\n"));
    PageState s;
    INT_PTR rc = Run([&](HWND page) {
        s = Read(page);
        wintest::SaveWindowPng(page, ShotPath("app-plugin.png").c_str());
        PressEscape(page);
    });
    EXPECT_EQ(1, seen);
    EXPECT_EQ(IDCANCEL, rc);
    EXPECT_EQ("D:\\PS\\PLUGINS", s.edit);
    EXPECT_EQ("0.540 MB", s.required);
    EXPECT_EQ("--", s.free);   // there is no drive D:
    EXPECT_TRUE(s.continueEnabled);
    EXPECT_TRUE(s.focusInEdit);
}

// The space required is what the platform's records expand to, as their
// headers say, and never less than 540 KB.
TEST_F(PlugInPage, RequiredSpaceIsWhatThePlatformsFilesExpandTo)
{
    std::string from = FreshDir("plugin-space");
    auto put = [&](const char *name, unsigned length) {
        return WriteBytes(from + name, MakeSZDDClaiming("", length));
    };
    // A sample-sized payload shows the least figure.
    ASSERT_TRUE(put("msvcrt20._ll", 60000) && put("msvcrt20._2s", 60000) &&
                put("zrsupp32._ll", 40000) && put("zrfilt32._bf", 100000));
    EXPECT_EQ(540, SpaceRequiredKB(PLATFORM_WINNT, from.c_str()));

    // 2 MB for Windows NT and 95; Win32s installs its own runtime instead.
    ASSERT_TRUE(put("msvcrt20._ll", 300000) && put("msvcrt20._2s", 5000000) &&
                put("zrsupp32._ll", 700000) && put("zrfilt32._bf", 1097152));
    const struct {
        DWORD platform;
        LONGLONG kb;
    } rows[] = {
        {PLATFORM_WINNT, 2048},
        {PLATFORM_WIN95, 2048},
        {PLATFORM_WIN31, (5000000 + 700000 + 1097152 + 1023) / 1024},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.platform);
        EXPECT_EQ(row.kb, SpaceRequiredKB(row.platform, from.c_str()));
    }

    // A file that is not packed is copied as it is: its own size counts.
    ASSERT_TRUE(WriteBytes(from + "msvcrt20._ll", std::string(1024 * 1024, 'x')));
    EXPECT_EQ((1048576 + 700000 + 1097152 + 1023) / 1024, SpaceRequiredKB(PLATFORM_WINNT, from.c_str()));
    // A file that cannot be read counts nothing: one missing, one held
    // open by another with no sharing.
    DeleteFileA((from + "msvcrt20._ll").c_str());
    HANDLE held = CreateFileA((from + "zrsupp32._ll").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(1072, SpaceRequiredKB(PLATFORM_WINNT, from.c_str()));   // 1097152 bytes, rounded up
    CloseHandle(held);
    EXPECT_EQ(540, SpaceRequiredKB(PLATFORM_WINNT, ""));

    // The page shows the figure it is given.
    SetSpaceRequired(SpaceRequiredKB(PLATFORM_WINNT, from.c_str()));
    PageState s;
    Run([&](HWND page) {
        s = Read(page);
        wintest::SaveWindowPng(page, ShotPath("app-plugin-large.png").c_str());
        PressEscape(page);
    });
    EXPECT_EQ("1.756 MB", s.required);   // 700000 + 1097152 bytes, rounded up
}

TEST_F(PlugInPage, FindsTheHostDirectoryOnTheDrives)
{
    CreateDirectoryA("C:\\PhotoShp", NULL);
    CreateDirectoryA("C:\\PhotoShp\\Plugins", NULL);
    PageState s;
    Run([&](HWND page) { s = Read(page); PressEscape(page); });
    EXPECT_EQ("C:\\PhotoShp\\Plugins", s.edit);
    EXPECT_NE(std::string::npos, s.free.find(" MB"));
    RemoveDirectoryA("C:\\PhotoShp\\Plugins");
    RemoveDirectoryA("C:\\PhotoShp");

    Run([&](HWND page) { s = Read(page); PressEscape(page); });
    EXPECT_EQ("c:\\plugins", s.edit);
}

TEST_F(PlugInPage, WithoutScanTheEditStartsEmptyAndFollowsTyping)
{
    gfScan = 0;
    PageState start, typed, cleared;
    Run([&](HWND page) {
        start = Read(page);
        Type(page, "c");
        typed = Read(page);
        Type(page, "");
        cleared = Read(page);
        PressEscape(page);
    });
    EXPECT_EQ("", start.edit);
    EXPECT_FALSE(start.continueEnabled);
    EXPECT_EQ("--", start.free);
    EXPECT_EQ("0.540 MB", start.required);
    EXPECT_TRUE(typed.continueEnabled);
    EXPECT_NE(std::string::npos, typed.free.find(" MB"));
    EXPECT_FALSE(cleared.continueEnabled);
    EXPECT_EQ("--", cleared.free);
}

TEST_F(PlugInPage, ContinueAcceptsAnExistingDirectory)
{
    std::string there = FreshDir("plugin-ok");
    gfScan = 0;
    INT_PTR rc = Run([&](HWND page) {
        Type(page, there);
        PressContinue(page);
    });
    EXPECT_EQ(IDOK, rc);
    EXPECT_EQ(there, std::string(dir));
}

// Blanks around the directory pass the directory test, but would end up
// in the names of the files copied into it.
TEST_F(PlugInPage, BlanksAroundTheDirectoryAreDroppedOnContinue)
{
    std::string there = FreshDir("plugin-blanks");
    std::string bare = there.substr(0, there.size() - 1);
    gfScan = 0;
    const std::string typed[][2] = {
        {"   " + there, there},
        {bare + "   ", bare},
        {"  " + there + "  ", there},
    };
    for (const auto &t : typed) {
        SCOPED_TRACE("typed \"" + t[0] + "\"");
        INT_PTR rc = Run([&](HWND page) {
            Type(page, t[0]);
            PressContinue(page);
        });
        EXPECT_EQ(IDOK, rc);
        EXPECT_EQ(t[1], std::string(dir));
    }
}

TEST_F(PlugInPage, ContinueCreatesTheLastComponent)
{
    std::string base = FreshDir("plugin-new");
    std::string made = base + "New";
    gfScan = 0;
    INT_PTR rc = Run([&](HWND page) {
        Type(page, made);
        PressContinue(page);
    });
    EXPECT_EQ(IDOK, rc);
    EXPECT_EQ(made, std::string(dir));
    DWORD attr = GetFileAttributesA(made.c_str());
    EXPECT_TRUE(attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY));
}

TEST_F(PlugInPage, UnreachableDirectoryShowsBadPathAndStays)
{
    gfScan = 0;
    std::string bad = "c:\\apptest-none\\b";
    PageWatcher badPath("Bad Path", IDOK);
    badPath.OnPage([](HWND page) {
        wintest::SaveWindowPng(page, ShotPath("app-badpath.png").c_str());
    });
    PageState after;
    bool stillUp = false;
    INT_PTR rc = Run([&](HWND page) {
        Type(page, bad);
        PressContinue(page);   // returns once BADPATH has been answered
        stillUp = IsWindowVisible(page) != 0;
        after = Read(page);
        PressEscape(page);
    });
    ASSERT_EQ(1, badPath.Seen());
    EXPECT_EQ("Cannot find \"" + bad + "\"", badPath.Texts()[0]);
    EXPECT_TRUE(stillUp);
    EXPECT_TRUE(after.focusInEdit);
    EXPECT_EQ(bad, after.edit);
    EXPECT_EQ(IDCANCEL, rc);
    EXPECT_FALSE(Exists("c:\\apptest-none"));
}

TEST_F(PlugInPage, DirectoryWithoutRoomForTheFileNamesIsRefused)
{
    gfScan = 0;
    std::string base = FreshDir("plugin-long");
    std::string longDir = base + std::string(PATH_SIZE - 1 - MAX_TARGET_NAME - base.size(), 'x');
    ASSERT_EQ(0, DirectoryFits(longDir.c_str()));
    PageWatcher alerts("Alert!", IDOK);
    bool stillUp = false;
    INT_PTR rc = Run([&](HWND page) {
        Type(page, longDir);
        PressContinue(page);
        stillUp = IsWindowVisible(page) != 0;
        PressEscape(page);
    });
    ASSERT_EQ(1, alerts.Seen());
    EXPECT_NE(std::string::npos, alerts.Texts()[0].find("too long"));
    EXPECT_TRUE(stillUp);
    EXPECT_EQ(IDCANCEL, rc);
    EXPECT_FALSE(Exists(longDir));

    // One character less fits, and is created.
    longDir.pop_back();
    rc = Run([&](HWND page) {
        Type(page, longDir);
        PressContinue(page);
    });
    EXPECT_EQ(IDOK, rc);
    EXPECT_TRUE(Exists(longDir));
}

// The file dialog as Browse sees it: what it was handed, and the answer
// the next call gives (a picked name and where its file name starts, or
// Cancel).
struct FileDialog {
    std::string picked;
    WORD fileOffset = 0;
    bool cancel = false;
    int calls = 0;
    std::string initialFile, initialDir;
    DWORD flags = 0, maxFile = 0;
    void Answer(const std::string &name, size_t offset)
    {
        picked = name;
        fileOffset = (WORD)offset;
        cancel = false;
    }
} gDialog;

BOOL WINAPI StandInOpenFile(LPOPENFILENAMEA ofn)
{
    gDialog.calls++;
    gDialog.initialFile = ofn->lpstrFile;
    gDialog.initialDir = ofn->lpstrInitialDir ? ofn->lpstrInitialDir : "<none>";
    gDialog.flags = ofn->Flags;
    gDialog.maxFile = ofn->nMaxFile;
    if (gDialog.cancel)
        return FALSE;
    lstrcpynA(ofn->lpstrFile, gDialog.picked.c_str(), ofn->nMaxFile);
    ofn->nFileOffset = gDialog.fileOffset;
    return TRUE;
}

// Browse with the user picking a file: the directory is cut at the file
// name, a second Browse starts where the first ended, an empty answer
// falls back to the current directory, and a directory answered with its
// trailing backslash is kept whole and accepted by Continue.
TEST_F(PlugInPage, BrowseTakesTheDirectoryOfThePickedFile)
{
    std::string there = FreshDir("plugin-browse");
    std::string current = FreshDir("plugin-browse-cwd");
    current.pop_back();
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SysLibsStandInOpenFile(StandInOpenFile);
    gfScan = 0;
    auto browse = [](HWND page) {
        SendMessageA(GetDlgItem(page, IDC_BROWSE), BM_CLICK, 0, 0);
        return Read(page);
    };
    PageState picked, cancelled, empty, whole;
    std::string handedFile[4], handedDir[4];
    INT_PTR rc = Run([&](HWND page) {
        Type(page, "c:\\");
        gDialog.Answer(there + "pick.8bf", there.size());
        picked = browse(page);
        handedFile[0] = gDialog.initialFile;
        handedDir[0] = gDialog.initialDir;

        Type(page, "c:\\");
        gDialog.cancel = true;
        cancelled = browse(page);
        handedFile[1] = gDialog.initialFile;
        handedDir[1] = gDialog.initialDir;

        SetCurrentDirectoryA(current.c_str());
        gDialog.Answer("", 0);
        empty = browse(page);
        SetCurrentDirectoryA(previous);

        gDialog.Answer(there, there.size());
        whole = browse(page);
        handedFile[3] = gDialog.initialFile;
        handedDir[3] = gDialog.initialDir;
        PressContinue(page);
    });
    SysLibsUse(NULL, NULL);

    EXPECT_EQ(4, gDialog.calls);
    EXPECT_EQ((DWORD)(OFN_HIDEREADONLY | OFN_NOVALIDATE | OFN_PATHMUSTEXIST | OFN_LONGNAMES),
              gDialog.flags);
    EXPECT_LE(gDialog.maxFile, (DWORD)PATH_SIZE);

    EXPECT_EQ("", handedFile[0]);
    EXPECT_EQ("c:\\", handedDir[0]);
    EXPECT_EQ(there, picked.edit);
    EXPECT_TRUE(picked.continueEnabled);
    EXPECT_NE(std::string::npos, picked.free.find(" MB"));

    // The second dialog is handed the first one's directory as its file.
    EXPECT_EQ(there, handedFile[1]);
    EXPECT_EQ("c:\\", handedDir[1]);
    EXPECT_EQ("c:\\", cancelled.edit);

    EXPECT_EQ(current, empty.edit);
    EXPECT_TRUE(empty.continueEnabled);

    // After an empty answer the next dialog starts in the directory shown.
    EXPECT_EQ("", handedFile[3]);
    EXPECT_EQ(current, handedDir[3]);
    EXPECT_EQ(there, whole.edit);
    EXPECT_EQ(IDOK, rc);
    EXPECT_EQ(there, std::string(dir));
}

TEST_F(PlugInPage, FreeSpaceFollowsTheDriveLetter)
{
    gfScan = 0;
    PageState onC, onQ, digit, spaces;
    Run([&](HWND page) {
        Type(page, "c:\\x");
        onC = Read(page);
        Type(page, "q:\\x");
        onQ = Read(page);
        Type(page, "\\x");   // current drive
        digit = Read(page);
        Type(page, "   ");
        spaces = Read(page);
        PressEscape(page);
    });
    EXPECT_NE(std::string::npos, onC.free.find(" MB"));
    EXPECT_EQ("--", onQ.free);
    EXPECT_NE(std::string::npos, digit.free.find(" MB"));
    EXPECT_EQ("--", spaces.free);
    EXPECT_TRUE(spaces.continueEnabled);   // blanks are text
}

} // namespace

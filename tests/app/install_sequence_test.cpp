// The INSTALLING page and whole runs of the install sequence, with the
// pages answered as a user would and real files copied in the prefix.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/install.h"
#include "app/main.h"
#include "app/syslibs.h"
#include "controls/control_class.h"
#include "resources/resource_ids.h"
#include "tests/app/app_test_util.h"
#include "tests/support/win_test.h"

using namespace apptest;

namespace {

class InstallTest : public testing::Test {
protected:
    void SetUp() override
    {
        Init_Controls();
        gfAbort = 0;
        gfScan = 0;
        gfForceMSVC = 0;
        gfNetworkWin = 0;
    }
    void TearDown() override
    {
        gfAbort = 0;
        gfScan = 1;
        gfForceMSVC = 0;
        gfNetworkWin = 0;
        Terminate_Controls();
    }
};

TEST_F(InstallTest, InstallingPageStartsAtZeroAndCancelOnlyFlags)
{
    HWND page = CreateDialogParamA(ghInst, "Installing", NULL, InstallDlgProc, 0);
    ASSERT_TRUE(page);
    ShowWindow(page, SW_SHOW);
    wintest::Pump(100);
    HWND graph = GetDlgItem(page, IDC_PROGRESS);
    EXPECT_EQ(0, (int)SendMessageA(graph, WM_USER + 2, 0, 0));
    EXPECT_EQ(GetDlgItem(page, IDCANCEL), GetFocus());
    RECT rc;
    GetWindowRect(page, &rc);
    EXPECT_EQ((1024 - (rc.right - rc.left)) / 2, rc.left);
    EXPECT_EQ("msvcrt20._ll", ControlText(page, IDC_COPY_SOURCE));
    wintest::SaveWindowPng(page, ShotPath("app-installing.png").c_str());

    EXPECT_EQ(0, gfAbort);
    SendMessageA(page, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(1, gfAbort);
    wintest::Pump(50);
    EXPECT_TRUE(IsWindowVisible(page));
    DestroyWindow(page);
}

// The pages of one run: each watcher answers its page with a key.
struct Answers {
    PageWatcher welcome{"Welcome!", 0};
    PageWatcher platform{"Platform", 0};
    PageWatcher plugin{"Plug-in location...", 0};
    PageWatcher done{"Congratulations...", IDOK};
    PageWatcher failure{"Warning...", IDOK};
    PageWatcher alert{"Alert!", IDOK};

    static void Key(HWND page, UINT key)
    {
        PostMessageA(GetFocus() ? GetFocus() : page, WM_KEYDOWN, key, 0);
    }
    Answers(UINT welcomeKey, UINT platformKey)
    {
        welcome.OnPage([=](HWND page) { Key(page, welcomeKey); });
        platform.OnPage([=](HWND page) { Key(page, platformKey); });
    }
    void PlugInDirectory(const std::string &dir)
    {
        plugin.OnPage([=](HWND page) {
            SetDlgItemTextA(page, IDC_PATH, dir.c_str());
            SendMessageA(GetDlgItem(page, IDOK), BM_CLICK, 0, 0);
        });
    }
    void PlugInExit()
    {
        plugin.OnPage([](HWND page) { Key(page, VK_ESCAPE); });
    }
};

TEST_F(InstallTest, ExitOnWelcomeEndsSilently)
{
    Answers a(VK_ESCAPE, VK_RETURN);
    EXPECT_EQ(0, Install(NULL));
    EXPECT_EQ(1, a.welcome.Seen());
    EXPECT_EQ(0, a.platform.Seen());
    EXPECT_EQ(0, a.failure.Seen());
    EXPECT_EQ(0, a.done.Seen());
}

TEST_F(InstallTest, ExitOnPlatformEndsSilently)
{
    Answers a(VK_RETURN, VK_ESCAPE);
    EXPECT_EQ(0, Install(NULL));
    EXPECT_EQ(1, a.platform.Seen());
    EXPECT_EQ(0, a.plugin.Seen());
    EXPECT_EQ(0, a.failure.Seen());
}

TEST_F(InstallTest, ExitOnPlugInShowsFailure)
{
    Answers a(VK_RETURN, VK_RETURN);
    a.PlugInExit();
    EXPECT_EQ(0, Install(NULL));
    EXPECT_EQ(1, a.plugin.Seen());
    EXPECT_EQ(1, a.failure.Seen());
    EXPECT_EQ(0, a.done.Seen());
    EXPECT_EQ(NULL, ghStatus);
}

// Watches the INSTALLING page while the copy loop runs: the graph's
// position after each move, and the two texts each time a target is shown.
class InstallingWatch {
public:
    InstallingWatch()
    {
        self_ = this;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, Proc, NULL, GetCurrentThreadId());
    }
    ~InstallingWatch()
    {
        if (hook_)
            UnhookWindowsHookEx(hook_);
        self_ = nullptr;
    }
    bool Hooked() const { return hook_ != NULL; }
    std::vector<int> positions;
    std::vector<std::string> shown;   // "source | target"

private:
    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HC_ACTION && self_)
            self_->Seen(*(const CWPRETSTRUCT *)lParam);
        return CallNextHookEx(NULL, code, wParam, lParam);
    }
    void Seen(const CWPRETSTRUCT &m)
    {
        HWND page = GetParent(m.hwnd);
        char caption[32] = "";
        if (!page || !GetWindowTextA(page, caption, sizeof caption) ||
            lstrcmpA(caption, "Installing...") != 0)
            return;
        int id = GetDlgCtrlID(m.hwnd);
        if (m.message == WM_USER + 1 && id == IDC_PROGRESS)
            positions.push_back((int)SendMessageA(m.hwnd, WM_USER + 2, 0, 0));
        else if (m.message == WM_SETTEXT && id == IDC_COPY_TARGET)
            shown.push_back(ControlText(page, IDC_COPY_SOURCE) + " | " +
                            ControlText(page, IDC_COPY_TARGET));
    }
    static InstallingWatch *self_;
    HHOOK hook_;
};
InstallingWatch *InstallingWatch::self_ = nullptr;

std::string Lower(std::string s)
{
    for (char &c : s)
        c = (char)tolower((unsigned char)c);
    return s;
}

// Packed sources beside the test program, removed again afterwards. Test
// processes run side by side in prefixes of their own but share this
// directory, so a lock directory (made atomically) keeps them apart.
class Payload {
public:
    Payload()
    {
        SourceDirectory(dir_);
        lock_ = std::string(dir_) + "app-payload.lock";
        DWORD start = GetTickCount();
        while (!CreateDirectoryA(lock_.c_str(), NULL) && GetTickCount() - start < 60000)
            Sleep(100);   // a lock older than a minute is left over: take it
        runtime = Bytes(3000, 1);
        support = Bytes(7000, 2);
        filter = Bytes(9001, 3);
        Put("msvcrt20._ll", runtime);
        Put("msvcrt20._2s", Bytes(100, 4));
        Put("zrsupp32._ll", support);
        Put("zrfilt32._bf", filter);
    }
    ~Payload()
    {
        for (const char *name : {"msvcrt20._ll", "msvcrt20._2s", "zrsupp32._ll", "zrfilt32._bf"})
            DeleteFileA(Path(name).c_str());
        RemoveDirectoryA(lock_.c_str());
    }
    std::string Path(const char *name) const { return std::string(dir_) + name; }
    void Put(const char *name, const std::string &data) { WriteBytes(Path(name), MakeSZDD(data)); }
    static std::string Bytes(size_t n, unsigned seed)
    {
        std::string s(n, '\0');
        for (size_t i = 0; i < n; i++)
            s[i] = (char)((i * 31 + seed * 7) ^ (i >> 5));
        return s;
    }
    std::string runtime, support, filter;

private:
    char dir_[PATH_SIZE];
    std::string lock_;
};

std::string SystemFile(const char *name)
{
    char sys[MAX_PATH];
    GetSystemDirectoryA(sys, MAX_PATH);
    return std::string(sys) + "\\" + name;
}

TEST_F(InstallTest, CopiesTheFilesOfThePlatformAndShowsDone)
{
    Payload payload;
    // The runtime source is newer than any installed copy.
    ASSERT_TRUE(SetLocalWriteTime(payload.Path("msvcrt20._ll"), 2030, 1, 1, 0, 0, 0));
    std::string plugins = FreshDir("install-all");
    std::string typed = plugins.substr(0, plugins.size() - 1);   // no trailing backslash
    for (char &c : typed)
        c = (char)toupper((unsigned char)c);
    Answers a(VK_RETURN, VK_RETURN);
    a.PlugInDirectory(typed);
    InstallingWatch watch;
    ASSERT_TRUE(watch.Hooked());

    EXPECT_EQ(1, Install(NULL));
    // Record 1 is not for this platform, and still counts.
    EXPECT_EQ((std::vector<int>{0, 25, 50, 75, 100}), watch.positions);
    EXPECT_EQ((std::vector<std::string>{
                  "msvcrt20._ll | " + Lower(SystemFile("msvcrt20.dll")),
                  "zrsupp32._ll | " + Lower(plugins) + "zrsupp32.dll",
                  "zrfilt32._bf | " + Lower(plugins) + "zrfilt32.8bf"}),
              watch.shown);
    EXPECT_EQ(1, a.done.Seen());
    EXPECT_EQ(0, a.failure.Seen());
    EXPECT_EQ(0, a.alert.Seen());
    EXPECT_EQ(NULL, ghStatus);
    EXPECT_EQ(payload.support, ReadBytes(plugins + "zrsupp32.dll"));
    EXPECT_EQ(payload.filter, ReadBytes(plugins + "zrfilt32.8bf"));
    EXPECT_EQ(payload.runtime, ReadBytes(SystemFile("msvcrt20.dll")));
    EXPECT_EQ(2u, ListFiles(plugins).size());
}

// The PLUGIN page is told what the files beside the installer expand to.
TEST_F(InstallTest, PlugInPageShowsWhatThePayloadNeeds)
{
    Payload payload;
    // Both runtimes alike, whichever platform this system reports.
    ASSERT_TRUE(WriteBytes(payload.Path("msvcrt20._2s"), MakeSZDD(payload.runtime)));
    ASSERT_TRUE(WriteBytes(payload.Path("zrfilt32._bf"), MakeSZDDClaiming("", 2000000)));
    Answers a(VK_RETURN, VK_RETURN);
    std::string required;
    a.plugin.OnPage([&](HWND page) {
        required = ControlText(page, IDC_SPACE_REQUIRED);
        Answers::Key(page, VK_ESCAPE);
    });
    EXPECT_EQ(0, Install(NULL));
    EXPECT_EQ(1, a.plugin.Seen());
    EXPECT_EQ("1.963 MB", required);   // 3000 + 7000 + 2000000 bytes, rounded up
}

TEST_F(InstallTest, NewerInstalledRuntimeIsKept)
{
    Payload payload;
    ASSERT_TRUE(SetLocalWriteTime(payload.Path("msvcrt20._ll"), 1990, 1, 1, 0, 0, 0));
    std::string before = ReadBytes(SystemFile("msvcrt20.dll"));
    ASSERT_NE("<missing>", before);
    std::string plugins = FreshDir("install-keep");
    Answers a(VK_RETURN, VK_RETURN);
    a.PlugInDirectory(plugins);

    EXPECT_EQ(1, Install(NULL));
    EXPECT_EQ(1, a.done.Seen());
    EXPECT_EQ(before, ReadBytes(SystemFile("msvcrt20.dll")));
    EXPECT_EQ(payload.filter, ReadBytes(plugins + "zrfilt32.8bf"));
}

// Windows Resource Protection, as sfc.dll would answer where it protects
// the runtime.
BOOL WINAPI RuntimeProtected(HANDLE, LPCWSTR path)
{
    std::wstring p(path);
    return p.size() >= 12 && _wcsicmp(p.c_str() + p.size() - 12, L"msvcrt20.dll") == 0;
}
FARPROC ProtectingLookup(const char *name)
{
    if (lstrcmpA(name, "SfcIsFileProtected") == 0)
        return (FARPROC)RuntimeProtected;
    return GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
}

// -m replaces the runtime whatever its age, unless the system protects it:
// then it is kept, as a newer one is.
TEST_F(InstallTest, ForceSwitchReplacesTheRuntimeWhateverItsAge)
{
    for (bool guarded : {false, true}) {
        SCOPED_TRACE(guarded ? "protected" : "not protected");
        Payload payload;
        ASSERT_TRUE(SetLocalWriteTime(payload.Path("msvcrt20._ll"), 1990, 1, 1, 0, 0, 0));
        ASSERT_TRUE(WriteBytes(SystemFile("msvcrt20.dll"), "installed runtime"));
        gfForceMSVC = 1;
        std::string plugins = FreshDir("install-force");
        Answers a(VK_RETURN, VK_RETURN);
        a.PlugInDirectory(plugins);
        SysLibsLookup(guarded ? ProtectingLookup : NULL);

        EXPECT_EQ(1, Install(NULL));
        SysLibsLookup(NULL);
        EXPECT_EQ(guarded ? "installed runtime" : payload.runtime,
                  ReadBytes(SystemFile("msvcrt20.dll")));
        EXPECT_EQ(payload.filter, ReadBytes(plugins + "zrfilt32.8bf"));
        EXPECT_EQ(0, a.alert.Seen());
    }
}

TEST_F(InstallTest, NetworkSwitchSendsTheRuntimeToTheWindowsDirectory)
{
    Payload payload;
    gfNetworkWin = 1;
    char win[MAX_PATH];
    GetWindowsDirectoryA(win, MAX_PATH);
    std::string target = std::string(win) + "\\msvcrt20.dll";
    DeleteFileA(target.c_str());
    std::string plugins = FreshDir("install-net");
    Answers a(VK_RETURN, VK_RETURN);
    a.PlugInDirectory(plugins);

    EXPECT_EQ(1, Install(NULL));
    EXPECT_EQ(payload.runtime, ReadBytes(target));
    EXPECT_EQ(payload.support, ReadBytes(plugins + "zrsupp32.dll"));
    DeleteFileA(target.c_str());
}

TEST_F(InstallTest, FailedCopyStopsTheLoopAndShowsFailure)
{
    Payload payload;
    DeleteFileA(payload.Path("zrsupp32._ll").c_str());
    // The runtime before it is newer than the installed one: it is staged.
    ASSERT_TRUE(SetLocalWriteTime(payload.Path("msvcrt20._ll"), 2030, 1, 1, 0, 0, 0));
    ASSERT_TRUE(WriteBytes(SystemFile("msvcrt20.dll"), "installed runtime"));
    std::string sys = SystemFile("");
    std::string plugins = FreshDir("install-fail");
    Answers a(VK_RETURN, VK_RETURN);
    a.PlugInDirectory(plugins);
    int graphDuringAlert = -1;
    size_t stagedDuringAlert = 99;
    HWND installing = NULL;
    a.alert.OnPage([&](HWND) {
        installing = FindWindowA(NULL, "Installing...");
        graphDuringAlert = (int)SendDlgItemMessageA(installing, IDC_PROGRESS, WM_USER + 2, 0, 0);
        stagedDuringAlert = ListFiles(sys, "zrs*.tmp").size();
    });
    InstallingWatch watch;
    ASSERT_TRUE(watch.Hooked());

    EXPECT_EQ(0, Install(NULL));
    // The graph stays where the last record that went through left it.
    EXPECT_EQ((std::vector<int>{0, 25, 50}), watch.positions);
    EXPECT_EQ(50, graphDuringAlert);
    ASSERT_EQ(2u, watch.shown.size());
    EXPECT_EQ("zrsupp32._ll | " + Lower(plugins) + "zrsupp32.dll", watch.shown[1]);
    ASSERT_EQ(1, a.alert.Seen());
    EXPECT_EQ("Cannot open \"" + payload.Path("zrsupp32._ll") + "\"", a.alert.Texts()[0]);
    EXPECT_EQ(installing, a.alert.Owners()[0]) << "owned by the page on screen";
    EXPECT_EQ(1, a.failure.Seen());
    EXPECT_EQ(0, a.done.Seen());
    EXPECT_FALSE(Exists(plugins + "zrfilt32.8bf"));
    EXPECT_EQ(1, gfAbort);
    // The staged runtime was gone before the alert showed; the installed
    // one is as it was.
    EXPECT_EQ(0u, stagedDuringAlert);
    EXPECT_EQ("installed runtime", ReadBytes(SystemFile("msvcrt20.dll")));
}

} // namespace

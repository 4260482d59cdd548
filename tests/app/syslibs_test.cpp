// The system libraries bound at run time: every entry point resolves, each
// library comes from the system directory, and a library or entry point
// that cannot be had makes the copy and Browse fail cleanly.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>

#include "app/filecopy.h"
#include "app/plugindir.h"
#include <cstdlib>
#include <set>
#include "app/syslibs.h"
#include "tests/app/app_test_util.h"

using namespace apptest;

namespace {

std::string Lower(std::string s)
{
    CharLowerBuffA(&s[0], (DWORD)s.size());
    return s;
}

std::string SystemDir()
{
    char dir[MAX_PATH];
    UINT len = GetSystemDirectoryA(dir, MAX_PATH);
    std::string s(dir, len);
    if (s.empty() || s.back() != '\\')
        s += '\\';
    return Lower(s);
}

std::string ModulePath(HMODULE module)
{
    char path[MAX_PATH];
    DWORD len = GetModuleFileNameA(module, path, MAX_PATH);
    return Lower(std::string(path, len < MAX_PATH ? len : 0));
}

// The path of the module that holds an address.
std::string PathOfAddress(const void *address)
{
    HMODULE module = NULL;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            (LPCSTR)address, &module))
        return "<none>";
    return ModulePath(module);
}

bool InSystemDir(const std::string &path)
{
    std::string dir = SystemDir();
    return path.compare(0, dir.size(), dir) == 0 && path.find('\\', dir.size()) == std::string::npos;
}

// Puts the usual libraries back whatever a test bound meanwhile.
class SysLibsTest : public testing::Test {
protected:
    void TearDown() override
    {
        SysLibsLookup(NULL);
        SysLibsUse(NULL, NULL);
    }

    // A copy of a small compressed file; its result and the alert texts.
    int Copy(const std::string &dir, std::vector<std::string> *shown)
    {
        EXPECT_TRUE(WriteBytes(dir + "zrsupp32._ll", MakeSZDD("support library bytes")));
        PageWatcher alerts("Alert!", IDOK);
        int rc = MyLZCopy((dir + "zrsupp32._ll").c_str(), (dir + "zrsupp32.dll").c_str());
        *shown = alerts.Texts();
        return rc;
    }
};

TEST_F(SysLibsTest, EntryPointsComeFromTheSystemDirectory)
{
    const LZCalls *lz = GetLZCalls();
    ASSERT_NE(nullptr, lz);
    EXPECT_EQ(lz, GetLZCalls()) << "bound once, kept";
    const void *entries[] = {(const void *)lz->pLZStart, (const void *)lz->pLZInit,
                             (const void *)lz->pCopyLZFile, (const void *)lz->pLZClose,
                             (const void *)lz->pLZDone};
    for (const void *entry : entries) {
        ASSERT_NE(nullptr, entry);
        // The library may forward its calls; wherever they land, it is a
        // module of the system directory.
        EXPECT_TRUE(InSystemDir(PathOfAddress(entry))) << PathOfAddress(entry);
    }
    HMODULE lzModule = SysLibModule(SYSLIB_LZ);
    ASSERT_NE(nullptr, lzModule);
    EXPECT_EQ(SystemDir() + "lz32.dll", ModulePath(lzModule));

    const ComDlgCalls *comDlg = GetComDlgCalls();
    ASSERT_NE(nullptr, comDlg);
    ASSERT_NE(nullptr, (const void *)comDlg->pGetOpenFileNameA);
    EXPECT_TRUE(InSystemDir(PathOfAddress((const void *)comDlg->pGetOpenFileNameA)));
    HMODULE comDlgModule = SysLibModule(SYSLIB_COMDLG);
    ASSERT_NE(nullptr, comDlgModule);
    EXPECT_EQ(SystemDir() + "comdlg32.dll", ModulePath(comDlgModule));
    EXPECT_EQ(nullptr, SysLibModule(SYSLIB_COUNT));
    EXPECT_EQ(nullptr, SysLibModule(-1));

    // The bound entries work: a start and a copy through them.
    INT started = lz->pLZStart();
    EXPECT_GE(started, 0);
    lz->pLZDone();
    std::string dir = FreshDir("syslibs-bound");
    std::vector<std::string> shown;
    EXPECT_EQ(1, Copy(dir, &shown));
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ("support library bytes", ReadBytes(dir + "zrsupp32.dll"));
}

TEST_F(SysLibsTest, LoadsOnlyFromTheSystemDirectory)
{
    HMODULE module = LoadSystemLibrary("version.dll");
    ASSERT_NE(nullptr, module);
    EXPECT_EQ(SystemDir() + "version.dll", ModulePath(module));
    FreeLibrary(module);

    // A library that is only in the current directory is not taken: a
    // copy of this test program named as a library stands in for it.
    std::string dir = FreshDir("syslibs-cwd");
    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(NULL, self, MAX_PATH), 0u);
    ASSERT_TRUE(CopyFileA(self, (dir + "zrplant.dll").c_str(), FALSE));
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
    EXPECT_EQ(nullptr, LoadSystemLibrary("zrplant.dll"));
    SetCurrentDirectoryA(previous);

    EXPECT_EQ(nullptr, LoadSystemLibrary("zr-no-such-library.dll"));
    // A name that would not fit a path is refused, not cut.
    std::string longName(2 * MAX_PATH, 'x');
    EXPECT_EQ(nullptr, LoadSystemLibrary((longName + ".dll").c_str()));

    // Where the platform can limit the search, it is limited, and the
    // system libraries still load afterwards.
    FARPROC setDirs = GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    EXPECT_EQ(setDirs ? 1 : 0, RestrictDllSearch());
    EXPECT_NE(nullptr, GetLZCalls());
    HMODULE again = LoadSystemLibrary("version.dll");
    EXPECT_NE(nullptr, again);
    if (again)
        FreeLibrary(again);
}

// A library that is missing, and one that lacks the entries: the copy
// shows the internal error and leaves nothing behind; Browse changes
// nothing and opens no dialog.
TEST_F(SysLibsTest, MissingLibraryOrEntryFailsCleanly)
{
    struct Case {
        const char *lzName;
        const char *comDlgName;
        const char *what;
    } cases[] = {
        {"zr-missing-lz.dll", "zr-missing-dlg.dll", "missing libraries"},
        {"user32.dll", "gdi32.dll", "libraries without the entries"},
    };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SysLibsUse(c.lzName, c.comDlgName);
        EXPECT_EQ(nullptr, GetLZCalls());
        EXPECT_EQ(nullptr, GetComDlgCalls());
        EXPECT_EQ(nullptr, SysLibModule(SYSLIB_LZ));
        EXPECT_EQ(nullptr, SysLibModule(SYSLIB_COMDLG));

        std::string dir = FreshDir(n++ ? "syslibs-noentry" : "syslibs-missing");
        std::vector<std::string> shown;
        EXPECT_EQ(LZ_INTERNAL, Copy(dir, &shown));
        ASSERT_EQ(1u, shown.size());
        EXPECT_EQ("Internal error (-3)", shown[0]);
        EXPECT_FALSE(Exists(dir + "zrsupp32.dll"));
        EXPECT_TRUE(ListFiles(dir, "*.tmp").empty());

        char buffer[160] = "c:\\ps\\plugins";
        PageWatcher dialogs("Plug-in's directory...", IDCANCEL);
        EXPECT_EQ(0, FindDir(NULL, buffer));
        EXPECT_STREQ("c:\\ps\\plugins", buffer);
        EXPECT_EQ(0, dialogs.Seen());
    }

    // With the usual libraries back, the copy works again.
    SysLibsUse(NULL, NULL);
    ASSERT_NE(nullptr, GetLZCalls());
    std::string dir = FreshDir("syslibs-back");
    std::vector<std::string> shown;
    EXPECT_EQ(1, Copy(dir, &shown));
    EXPECT_EQ("support library bytes", ReadBytes(dir + "zrsupp32.dll"));
}

// The run-time lookup as a system without one newer call has it, or with
// a LoadLibraryExA that fails whatever it is asked.
struct Fallback {
    const char *what;
    const char *missing;   // the call taken away, or null
    bool loadExFails;
};
const Fallback *gFallback = NULL;
std::set<std::string> gAsked;
std::vector<std::string> gLoadExPaths;

HMODULE WINAPI FailingLoadLibraryEx(LPCSTR path, HANDLE, DWORD)
{
    gLoadExPaths.push_back(Lower(path));
    SetLastError(ERROR_INVALID_PARAMETER);
    return NULL;
}

FARPROC FallbackLookup(const char *name)
{
    gAsked.insert(name);
    if (gFallback->missing && lstrcmpA(name, gFallback->missing) == 0)
        return NULL;
    if (gFallback->loadExFails && lstrcmpA(name, "LoadLibraryExA") == 0)
        return (FARPROC)FailingLoadLibraryEx;
    return GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
}

// Each newer call missing (or failing) in turn: its classic fallback does
// the work. Libraries still come from the system directory by full path
// and never from the current one, the copy replaces a file, and the free
// space is what the classic call counts.
TEST_F(SysLibsTest, EveryFallbackRunsWithItsNewerCallMissing)
{
    const Fallback cases[] = {
        {"no SetDefaultDllDirectories", "SetDefaultDllDirectories", false},
        {"no LoadLibraryExA", "LoadLibraryExA", false},
        {"a LoadLibraryExA that fails", NULL, true},
        {"no GetDiskFreeSpaceExA", "GetDiskFreeSpaceExA", false},
        {"no MoveFileExA", "MoveFileExA", false},
    };
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const bool canRestrict = GetProcAddress(kernel, "SetDefaultDllDirectories") != NULL;
    std::string planted = FreshDir("syslibs-fallback-cwd");
    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(NULL, self, MAX_PATH), 0u);
    ASSERT_TRUE(CopyFileA(self, (planted + "zrplant.dll").c_str(), FALSE));
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);

    for (const Fallback &c : cases) {
        SCOPED_TRACE(c.what);
        gFallback = &c;
        gAsked.clear();
        gLoadExPaths.clear();
        SysLibsLookup(FallbackLookup);
        SysLibsUse(NULL, NULL);
        bool noRestrict = c.missing && std::string(c.missing) == "SetDefaultDllDirectories";
        EXPECT_EQ(canRestrict && !noRestrict ? 1 : 0, RestrictDllSearch());

        HMODULE module = LoadSystemLibrary("version.dll");
        ASSERT_NE(nullptr, module);
        EXPECT_EQ(SystemDir() + "version.dll", ModulePath(module));
        FreeLibrary(module);
        ASSERT_TRUE(SetCurrentDirectoryA(planted.c_str()));
        EXPECT_EQ(nullptr, LoadSystemLibrary("zrplant.dll"));
        SetCurrentDirectoryA(previous);
        if (c.loadExFails) {
            // Each form of the call was tried with the full path first.
            ASSERT_FALSE(gLoadExPaths.empty());
            EXPECT_EQ(SystemDir() + "version.dll", gLoadExPaths[0]);
        }

        ASSERT_NE(nullptr, GetLZCalls());
        EXPECT_EQ(SystemDir() + "lz32.dll", ModulePath(SysLibModule(SYSLIB_LZ)));
        std::string dir = FreshDir("syslibs-fallback");
        ASSERT_TRUE(WriteBytes(dir + "zrsupp32.dll", "an older copy"));
        std::vector<std::string> shown;
        EXPECT_EQ(1, Copy(dir, &shown));
        EXPECT_TRUE(shown.empty());
        EXPECT_EQ("support library bytes", ReadBytes(dir + "zrsupp32.dll"));
        EXPECT_EQ(2u, ListFiles(dir).size()) << "nothing set aside or left over";

        // Free space on C: in kilobytes, as the call in use counts it (the
        // disk is shared, so within a percent).
        LONGLONG kb = freespace(3);
        ULONGLONG bytes;
        if (c.missing && std::string(c.missing) == "GetDiskFreeSpaceExA") {
            DWORD sectors, sectorBytes, freeClusters, clusters;
            ASSERT_TRUE(GetDiskFreeSpaceA("C:\\", &sectors, &sectorBytes, &freeClusters, &clusters));
            bytes = (ULONGLONG)sectors * sectorBytes * freeClusters;
        } else {
            ULARGE_INTEGER avail, total, free;
            ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &avail, &total, &free));
            bytes = avail.QuadPart;
        }
        LONGLONG want = (LONGLONG)(bytes / 1024);
        EXPECT_GT(kb, 0);
        EXPECT_LE(llabs(kb - want), want / 100 + 64) << kb << " vs " << want;
        EXPECT_EQ(1u, gAsked.count("GetDiskFreeSpaceExA"));
        EXPECT_EQ(1u, gAsked.count("MoveFileExA"));
        EXPECT_EQ(1u, gAsked.count("LoadLibraryExA"));
    }
}

} // namespace

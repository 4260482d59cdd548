// File tests and LZ copying on real files in the throw-away prefix; the
// messages are read off the ALERT page while it is up.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <string>

#include "app/filecopy.h"
#include "app/checklist.h"
#include "app/crc32.h"
#include "app/fileset.h"
#include "app/syslibs.h"
#include "tests/app/app_test_util.h"
#include "tests/support/import_hook.h"

using namespace apptest;

namespace {

std::string Pattern(size_t n, unsigned seed)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; i++) {
        seed = seed * 1103515245u + 12345u;
        s[i] = (char)(seed >> 16);
    }
    return s;
}

TEST(FileExist, FilesOnly)
{
    std::string dir = FreshDir("exist");
    EXPECT_EQ(0, FileExist((dir + "none.dll").c_str()));
    ASSERT_TRUE(WriteBytes(dir + "some.dll", "x"));
    EXPECT_EQ(1, FileExist((dir + "some.dll").c_str()));
    EXPECT_EQ(0, FileExist(dir.c_str()));
}

TEST(FileWriteable, MissingCountsAsWriteable)
{
    std::string dir = FreshDir("writeable");
    std::string path = dir + "f.dll";
    EXPECT_EQ(1, FileWriteable(path.c_str()));
    ASSERT_TRUE(WriteBytes(path, "abc"));
    EXPECT_EQ(1, FileWriteable(path.c_str()));
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0, FileWriteable(path.c_str()));
    CloseHandle(held);
}

class FileNewerTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir = FreshDir("newer");
        source = dir + "msvcrt20._ll";
        target = dir + "msvcrt20.dll";
        ASSERT_TRUE(WriteBytes(source, "source"));
        ASSERT_TRUE(WriteBytes(target, "target"));
    }
    int Decide(int sy, int smo, int sd, int sh, int smi, int ty, int tmo, int td, int th, int tmi)
    {
        EXPECT_TRUE(SetLocalWriteTime(source, sy, smo, sd, sh, smi, 0));
        EXPECT_TRUE(SetLocalWriteTime(target, ty, tmo, td, th, tmi, 0));
        return FileNewer(source.c_str(), target.c_str());
    }
    std::string dir, source, target;
};

TEST_F(FileNewerTest, MissingTargetIsReplaced)
{
    DeleteFileA(target.c_str());
    EXPECT_EQ(1, FileNewer(source.c_str(), target.c_str()));
}

TEST_F(FileNewerTest, EqualTimesKeepTheTarget)
{
    EXPECT_EQ(0, Decide(1996, 5, 17, 9, 30, 1996, 5, 17, 9, 30));
}

TEST_F(FileNewerTest, OneMinuteOlderIsReplacedOneMinuteNewerKept)
{
    EXPECT_EQ(1, Decide(1996, 5, 17, 9, 30, 1996, 5, 17, 9, 29));
    EXPECT_EQ(0, Decide(1996, 5, 17, 9, 30, 1996, 5, 17, 9, 31));
}

TEST_F(FileNewerTest, MonthEndsAreInCalendarOrder)
{
    // The 31st comes before the 1st of the next month, whatever the hour.
    EXPECT_EQ(0, Decide(1996, 1, 31, 12, 0, 1996, 2, 1, 10, 0));
    EXPECT_EQ(1, Decide(1996, 2, 1, 10, 0, 1996, 1, 31, 12, 0));
    EXPECT_EQ(0, Decide(1999, 12, 31, 23, 59, 2000, 1, 1, 0, 0));
    EXPECT_EQ(1, Decide(2000, 1, 1, 0, 0, 1999, 12, 31, 23, 59));
    // A day of a later month with a smaller day number.
    EXPECT_EQ(0, Decide(1996, 3, 30, 8, 0, 1996, 4, 2, 8, 0));
}

TEST_F(FileNewerTest, UnreadableTargetIsSkipped)
{
    Decide(1996, 5, 17, 9, 30, 1990, 1, 1, 0, 0);
    HANDLE held = CreateFileA(target.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0, FileNewer(source.c_str(), target.c_str()));
    CloseHandle(held);
    EXPECT_EQ(1, FileNewer(source.c_str(), target.c_str()));
}

TEST_F(FileNewerTest, MissingSourceIsTold)
{
    DeleteFileA(source.c_str());
    EXPECT_EQ(-1, FileNewer(source.c_str(), target.c_str()));
}

TEST(SZDDLength, ReadsTheHeader)
{
    std::string dir = FreshDir("szddlen");
    ASSERT_TRUE(WriteBytes(dir + "a._ll", MakeSZDDClaiming("abc", 0x01020304)));
    ASSERT_TRUE(WriteBytes(dir + "b._ll", "SZDD is not enough"));
    DWORD len = 0;
    EXPECT_EQ(1, SZDDLength((dir + "a._ll").c_str(), &len));
    EXPECT_EQ(0x01020304u, len);
    EXPECT_EQ(0, SZDDLength((dir + "b._ll").c_str(), &len));
    EXPECT_EQ(0, SZDDLength((dir + "none._ll").c_str(), &len));
}

class LZCopyTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir = FreshDir("lzcopy");
        source = dir + "zrfilt32._bf";
        target = dir + "zrfilt32.8bf";
    }
    // Copies with an alert watcher that presses OK; checked against check
    // when one is given.
    int Copy(const std::string &from, const std::string &to, const FileCheck *check = NULL)
    {
        PageWatcher alerts("Alert!", IDOK);
        int rc = check ? MyLZCopyChecked(from.c_str(), to.c_str(), check)
                       : MyLZCopy(from.c_str(), to.c_str());
        shown = alerts.Texts();
        return rc;
    }
    std::vector<std::string> TempFiles() { return ListFiles(dir, "*.tmp"); }

    std::string dir, source, target;
    std::vector<std::string> shown;
};

TEST_F(LZCopyTest, ExpandsByteExactAndKeepsTheSourceTime)
{
    std::string data = Pattern(5003, 7);
    ASSERT_TRUE(WriteBytes(source, MakeSZDD(data)));
    ASSERT_TRUE(SetLocalWriteTime(source, 1996, 3, 4, 5, 6, 8));
    EXPECT_EQ(1, Copy(source, target));
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(data, ReadBytes(target));
    EXPECT_EQ(WriteTime(source), WriteTime(target));
    EXPECT_TRUE(TempFiles().empty());
    EXPECT_EQ(2u, ListFiles(dir).size());
}

TEST_F(LZCopyTest, ReplacesALongerOldTarget)
{
    ASSERT_TRUE(WriteBytes(target, Pattern(20000, 3)));
    std::string data = Pattern(100, 11);
    ASSERT_TRUE(WriteBytes(source, MakeSZDD(data)));
    EXPECT_EQ(1, Copy(source, target));
    EXPECT_EQ(data, ReadBytes(target));
}

TEST_F(LZCopyTest, UncompressedSourceIsCopiedAsItIs)
{
    std::string data = "plain bytes, no header";
    ASSERT_TRUE(WriteBytes(source, data));
    EXPECT_EQ(1, Copy(source, target));
    EXPECT_EQ(data, ReadBytes(target));
}

TEST_F(LZCopyTest, EmptySourceGivesAnEmptyTarget)
{
    ASSERT_TRUE(WriteBytes(source, MakeSZDD("")));
    EXPECT_EQ(1, Copy(source, target));
    EXPECT_EQ("", ReadBytes(target));
}

TEST_F(LZCopyTest, MissingSourceNamesTheSource)
{
    EXPECT_EQ(LZ_CANNOT_OPEN, Copy(source, target));
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ("Cannot open \"" + source + "\"", shown[0]);
    EXPECT_FALSE(Exists(target));
}

TEST_F(LZCopyTest, TargetInMissingDirectoryNamesTheTarget)
{
    ASSERT_TRUE(WriteBytes(source, MakeSZDD("data")));
    std::string distant = dir + "no\\such\\zrfilt32.8bf";
    EXPECT_EQ(LZ_CANNOT_OPEN, Copy(source, distant));
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ("Cannot open \"" + distant + "\"", shown[0]);
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(LZCopyTest, TruncatedSourceLeavesThePreviousTarget)
{
    std::string previous = "previous filter";
    ASSERT_TRUE(WriteBytes(target, previous));
    std::string packed = MakeSZDD(Pattern(4000, 5));
    ASSERT_TRUE(WriteBytes(source, packed.substr(0, packed.size() / 2)));
    EXPECT_EQ(LZ_INTERNAL, Copy(source, target));
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ("Internal error (-3)", shown[0]);
    EXPECT_EQ(previous, ReadBytes(target));
    EXPECT_TRUE(TempFiles().empty());
    EXPECT_EQ(2u, ListFiles(dir).size());
}

TEST_F(LZCopyTest, SourceLongerThanItsHeaderSaysIsRefused)
{
    ASSERT_TRUE(WriteBytes(source, MakeSZDDClaiming("0123456789", 4)));
    EXPECT_EQ(LZ_INTERNAL, Copy(source, target));
    EXPECT_FALSE(Exists(target));
    EXPECT_TRUE(TempFiles().empty());
}

// A checked copy replaces the target only when the expanded bytes match
// their entry; any other entry is a damaged disk.
TEST_F(LZCopyTest, CheckedCopyReplacesOnlyWhenTheBytesMatch)
{
    std::string data = Pattern(70000, 13), previous = "previous filter";
    ASSERT_TRUE(WriteBytes(source, MakeSZDD(data)));
    DWORD crc = Crc32Update(0, data.data(), data.size());
    const FileCheck wrong[] = {
        {"zrfilt32._bf", (DWORD)data.size(), crc ^ 0x00010000u},
        {"zrfilt32._bf", (DWORD)data.size() + 1, crc},
    };
    for (const FileCheck &check : wrong) {
        ASSERT_TRUE(WriteBytes(target, previous));
        EXPECT_EQ(LZ_DAMAGED, Copy(source, target, &check));
        ASSERT_EQ(1u, shown.size());
        EXPECT_EQ("The disk is damaged: \"" + source + "\" cannot be read", shown[0]);
        EXPECT_EQ(previous, ReadBytes(target));
        EXPECT_TRUE(TempFiles().empty());
    }
    const FileCheck right = {"zrfilt32._bf", (DWORD)data.size(), crc};
    EXPECT_EQ(1, Copy(source, target, &right));
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(data, ReadBytes(target));
}

TEST_F(LZCopyTest, TargetThatCannotBeReplacedIsReportedAndKept)
{
    // A directory of the target's name cannot be replaced by a file.
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), NULL));
    ASSERT_TRUE(WriteBytes(target + "\\inside.txt", "old"));
    ASSERT_TRUE(WriteBytes(source, MakeSZDD("new contents")));
    EXPECT_EQ(LZ_CANNOT_OPEN, Copy(source, target));
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ("Cannot open \"" + target + "\"", shown[0]);
    EXPECT_EQ("old", ReadBytes(target + "\\inside.txt"));
    EXPECT_TRUE(TempFiles().empty());
}

// The platform and the faults that Wine does not show, stood in for the
// calls the replace makes: GetVersion (the platform), MoveFileExA as NT
// gives it while a program has the target loaded (the one-step replace
// fails), MoveFileA refusing one of its renames, DeleteFileA refusing a
// loaded set-aside file.
struct Faults {
    DWORD version = 0x00000005;   // NT
    bool loaded = false;          // NT: the one-step replace fails
    bool noLinks = false;         // no CreateHardLinkA (NT 4, FAT)
    DWORD asideError = 0;         // the rename aside fails with this error
    bool intoFails = false;       // the new file does not take the place
    bool backFails = false;       // nor does the old one go back
    bool deleteFails = false;     // the runtime's set-aside file cannot be deleted
    const char *failFrom = "";    // a rename from this name fails
    bool targetHeld = false;      // the runtime in place cannot be deleted (a scanner)
    const char *line = "";        // WININIT.INI's line for the runtime before ("=" + file)
};
Faults gF;
std::vector<std::string> gDelayed;   // deletes left to the restart
decltype(&MoveFileA) gRealMove;
decltype(&DeleteFileA) gRealDelete;
decltype(&WritePrivateProfileStringA) gRealProfile;
// A crash: from the gStopAt-th change to the disk on, none reaches it.
int gStep, gStopAt;
bool Stopped() { return gStopAt && ++gStep >= gStopAt; }

bool Has(LPCSTR path, const char *part) { return path && *part && strstr(path, part); }
DWORD WINAPI FakeVersion() { return gF.version; }
BOOL WINAPI FaultyMove(LPCSTR from, LPCSTR to)
{
    if (Stopped() || Has(from, gF.failFrom))
        return FALSE;
    if ((gF.asideError && Has(to, "\\zro")) || (gF.intoFails && Has(from, "\\zrs")) ||
        (gF.backFails && Has(from, "\\zro"))) {
        SetLastError(gF.asideError ? gF.asideError : ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return gRealMove(from, to);
}
BOOL WINAPI FaultyDelete(LPCSTR path)
{
    if (Stopped())
        return FALSE;
    if ((gF.deleteFails && Has(path, "\\zro0")) || (gF.targetHeld && Has(path, "msvcrt20.dll"))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return gRealDelete(path);
}
BOOL WINAPI FaultyMoveEx(LPCSTR from, LPCSTR to, DWORD flags)
{
    if (Stopped() || Has(from, gF.failFrom))
        return FALSE;
    if (flags & MOVEFILE_DELAY_UNTIL_REBOOT) {
        gDelayed.push_back(from);
        return TRUE;
    }
    if (gF.loaded && (flags & MOVEFILE_REPLACE_EXISTING) && Has(to, "msvcrt20")) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return MoveFileExA(from, to, flags);
}
BOOL WINAPI FaultyLink(LPCSTR l, LPCSTR t, LPSECURITY_ATTRIBUTES sa) { return !Stopped() && CreateHardLinkA(l, t, sa); }
BOOL WINAPI FaultyProfile(LPCSTR s, LPCSTR k, LPCSTR v, LPCSTR f) { return !Stopped() && gRealProfile(s, k, v, f); }
FARPROC FaultyLookup(const char *name)
{
    if (lstrcmpA(name, "MoveFileExA") == 0)
        return (FARPROC)FaultyMoveEx;
    if (lstrcmpA(name, "CreateHardLinkA") == 0)
        return gF.noLinks ? NULL : (FARPROC)FaultyLink;
    return GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
}

const DWORD kNT = 0x00000005, k95 = 0xC0000004, kWin32s = 0x80000A03;

// The hooks of a commit's faults, for the life of a test.
struct FaultHooks {
    ImportHook version{"GetVersion", (void *)FakeVersion}, move{"MoveFileA", (void *)FaultyMove},
        del{"DeleteFileA", (void *)FaultyDelete}, profile{"WritePrivateProfileStringA", (void *)FaultyProfile};
    FaultHooks()
    {
        SysLibsLookup(FaultyLookup);
        gRealMove = (decltype(gRealMove))move.original();
        gRealDelete = (decltype(gRealDelete))del.original();
        gRealProfile = (decltype(gRealProfile))profile.original();
    }
    ~FaultHooks() { SysLibsLookup(NULL); }
    bool ok() const { return version.ok() && move.ok() && del.ok() && profile.ok(); }
};

const char *const kNames[] = {"msvcrt20.dll", "", "zrsupp32.dll"};

// The runtime and the support library staged over old ones in a fresh folder.
std::string StageTwo(FileSet &set, bool readOnly)
{
    std::string dir = FreshDir("commit");
    DeleteFileA("C:\\windows\\wininit.ini");
    set.count = 0;
    for (int tag : {0, 2}) {
        StagedFile &f = set.files[set.count++];
        std::string target = dir + kNames[tag], temp = dir + "zrs" + char('0' + tag) + "001.tmp";
        WriteBytes(target, std::string("old ") + kNames[tag]);
        WriteBytes(temp, std::string("new ") + kNames[tag]);
        if (readOnly)
            SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
        lstrcpyA(f.temp, temp.c_str());
        lstrcpyA(f.target, target.c_str());
        f.tag = tag;
        f.fSystem = tag == 0;
    }
    return dir;
}

std::string RenameLine(const std::string &target)
{
    char value[MAX_PATH] = "";
    GetPrivateProfileStringA("rename", target.c_str(), "", value, MAX_PATH, "wininit.ini");
    return value;
}

bool RecordLeft() { return GetFileAttributesA("C:\\windows\\vellox20.cmt") != INVALID_FILE_ATTRIBUTES; }

// Replacing a set of two targets, the runtime first: all are replaced,
// or, when one cannot be, every one is as it was and the staged files are
// gone. Old copies set aside are deleted once all are replaced, but never
// while they are the last copy of a target's bytes; the runtime in use on
// Windows 95 waits for the restart in WININIT.INI, and one NT may not
// replace (rights) is kept.
TEST(CommitFiles, AllOrNothingOnEveryPlatform)
{
    struct Case {
        const char *what;
        Faults faults;
        int heldOpen;      // 0 none, 1 the runtime, 2 the plug-in (no sharing)
        bool readOnly;     // the old files are read-only (from a CD)
        int rc;
        const char *alert; // target named in the alert, "" none
        const char *runtime = nullptr;   // "old" or "new", when rc does not say
    } cases[] = {
        {"NT, one step", {kNT}, 0, false, 1, ""},
        {"NT without links", {kNT, false, true}, 0, false, 1, ""},
        {"NT, runtime loaded", {kNT, true, false, 0, false, false, true}, 0, false, 1, ""},
        {"NT, held open", {kNT}, 1, false, LZ_IN_USE, "msvcrt20.dll"},
        {"NT, the system's own runtime kept", {kNT, true, false, ERROR_ACCESS_DENIED}, 0, false, 1, "", "old"},
        {"NT, put-back refused: the next start", {kNT, true, false, 0, false, true, false,
         "\\zrs2", true}, 0, false, LZ_CANNOT_OPEN, "zrsupp32.dll"},
        {"95, read-only from a CD", {k95}, 0, true, 1, ""},
        {"95, second replace fails", {k95}, 2, false, LZ_IN_USE, "zrsupp32.dll"},
        {"95, runtime in use", {k95}, 1, false, FILES_RESTART, ""},
        {"95, no way back", {k95, false, false, 0, true, true}, 0, false, LZ_CANNOT_OPEN,
         "msvcrt20.dll"},
        {"95, in use, another program's file waits", {k95, false, false, 0, false, false, false,
         "", false, "=c:\\other\\msvcrt20.new"}, 1, false, FILES_RESTART, ""},
        {"95, in use, an earlier run's file waits, fails", {k95, false, false, 0, false, false,
         false, "\\zrs2", false, "zrn0ABC.tmp"}, 1, false, LZ_CANNOT_OPEN, "zrsupp32.dll"},
        {"95, free now, an earlier run's file waits", {k95, false, false, 0, false, false, false,
         "", false, "zrn0ABC.tmp"}, 0, false, 1, ""},
        {"Win32s, runtime in use", {kWin32s}, 1, false, LZ_IN_USE, "msvcrt20.dll"},
        {"Win32s, runtime kept for the next run", {kWin32s}, 0, false, 1, ""},
    };
    FaultHooks hooks;
    ASSERT_TRUE(hooks.ok());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        gF = c.faults;
        gDelayed.clear();
        FileSet set = {};
        std::string dir = StageTwo(set, c.readOnly), runtimePath = dir + kNames[0], earlier;
        if (c.faults.line[0]) {
            // An earlier run's pending runtime lies beside it, another program's elsewhere.
            earlier = c.faults.line[0] == '=' ? c.faults.line + 1 : dir + c.faults.line;
            if (c.faults.line[0] != '=')
                WriteBytes(earlier, "earlier runtime");
            WritePrivateProfileStringA("rename", runtimePath.c_str(), earlier.c_str(), "wininit.ini");
        }
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.heldOpen)
            held = CreateFileA((dir + kNames[c.heldOpen == 1 ? 0 : 2]).c_str(), GENERIC_READ,
                               FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        PageWatcher alerts("Alert!", IDOK);
        EXPECT_EQ(c.rc, CommitFiles(&set));
        std::vector<std::string> shown = alerts.Texts();
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        if (c.faults.backFails) {
            // The old runtime could not go back: the next start puts it back.
            EXPECT_TRUE(RecordLeft());
            gF = Faults();
            char stuck[MAX_PATH];
            EXPECT_EQ(1, RecoverCommit(stuck));
        }
        EXPECT_FALSE(RecordLeft());

        std::string runtime = ReadBytes(runtimePath), plugin = ReadBytes(dir + kNames[2]);
        std::vector<std::string> left = ListFiles(dir, "*.tmp");
        if (!c.alert[0]) {
            EXPECT_TRUE(shown.empty());
            EXPECT_EQ("new zrsupp32.dll", plugin);
        } else {
            ASSERT_EQ(1u, shown.size());
            const char *form = c.rc == LZ_IN_USE ? "\"%s\" is in use by another program"
                                                 : "Cannot open \"%s\"";
            char text[300];
            wsprintfA(text, form, (dir + c.alert).c_str());
            EXPECT_EQ(text, shown[0]);
            EXPECT_EQ("old zrsupp32.dll", plugin);
        }
        EXPECT_EQ(std::string(c.runtime ? c.runtime : c.rc == 1 ? "new" : "old") +
                      " msvcrt20.dll", runtime);
        std::string line = RenameLine(runtimePath);
        if (c.rc == FILES_RESTART && !earlier.empty()) {
            EXPECT_EQ(earlier, line);   // another program's: kept, and ours goes
        } else if (c.rc == FILES_RESTART) {
            // The checked runtime waits under a name of its own for the
            // restart; WININIT.INI says where it goes.
            ASSERT_EQ(1u, left.size());
            EXPECT_EQ("zrn0", left[0].substr(0, 4));
            EXPECT_EQ("new msvcrt20.dll", ReadBytes(dir + left[0]));
            EXPECT_EQ(0, lstrcmpiA((dir + left[0]).c_str(), line.c_str())) << line;
            DeleteFileA((dir + left[0]).c_str());
        } else {
            // An earlier run's line stands while the runtime is old, and goes with its file.
            EXPECT_EQ(c.rc == 1 ? "" : earlier, line);
            EXPECT_EQ(c.rc == 1 || earlier.empty() ? "<missing>" : "earlier runtime",
                      ReadBytes(earlier));
            DeleteFileA(earlier.c_str());
        }
        // What was left to NT's next restart goes now. The loaded runtime's
        // old copy is one: its second name made for the one-step replace,
        // and the name it was renamed to.
        if (c.faults.deleteFails) {
            EXPECT_EQ(2u, gDelayed.size());
        }
        gF = Faults();
        for (const std::string &name : gDelayed) {
            EXPECT_EQ(dir + "zro0", name.substr(0, dir.size() + 4));
            DeleteFileA(name.c_str());
        }
        left = ListFiles(dir, "*.tmp");
        if (c.faults.version == kWin32s && c.rc == 1) {
            // Win32s may have the old runtime open: the next run removes it.
            ASSERT_EQ(1u, left.size());
            EXPECT_EQ("zro0", left[0].substr(0, 4));
            CleanLeftovers(dir.c_str(), kNames, 3);
            left = ListFiles(dir, "*.tmp");
        }
        EXPECT_TRUE(left.empty()) << (left.empty() ? "" : left[0]);
    }
}

// A commit stopped at each of its changes to the disk in turn, as a crash
// would stop it, then the next start's recovery: all old or all new, the
// runtime included (or waiting for the restart), nothing of the commit left.
TEST(CommitFiles, RecoveredAfterACrashAtEveryStep)
{
    const DWORD modes[][2] = {{kNT, 0}, {kNT, 1}, {k95, 0}, {k95, 1}, {kWin32s, 0}};
    FaultHooks hooks;
    ASSERT_TRUE(hooks.ok());
    for (const DWORD *m : modes) {
        int stop = 1;
        for (bool finished = false; !finished; stop++) {
            SCOPED_TRACE(std::to_string(m[0]) + "/" + std::to_string(m[1]) + " at " + std::to_string(stop));
            gF = Faults();
            gF.version = m[0];
            gF.noLinks = m[1] && m[0] == kNT;
            FileSet set = {};
            std::string dir = StageTwo(set, false), runtimePath = dir + kNames[0];
            HANDLE held = m[1] && m[0] == k95 ? CreateFileA(runtimePath.c_str(), GENERIC_READ,
                              FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL) : INVALID_HANDLE_VALUE;
            {
                PageWatcher alerts("Alert!", IDOK);
                gStep = 0;
                gStopAt = stop;
                CommitFiles(&set);
                finished = gStep < stop;
                gStopAt = 0;
            }
            CloseHandle(held);
            char stuck[MAX_PATH];
            EXPECT_EQ(1, RecoverCommit(stuck));
            EXPECT_FALSE(RecordLeft());
            std::string plugin = ReadBytes(dir + kNames[2]), runtime = ReadBytes(runtimePath);
            std::string line = RenameLine(runtimePath), state = plugin.substr(0, 4);
            EXPECT_EQ(state + "msvcrt20.dll", line.empty() ? runtime : "new" + ReadBytes(line).substr(3));
            EXPECT_TRUE(finished ? state == "new " : state == "old " || state == "new ") << plugin;
            // Nothing set aside is left (but Win32s's old runtime, for the
            // next run); the next install clears a staging cut short.
            EXPECT_EQ(m[0] == kWin32s && state == "new " ? 1u : 0u, ListFiles(dir, "zro*.tmp").size());
            CleanLeftovers(dir.c_str(), kNames, 3);
            EXPECT_EQ(line.empty() ? 0u : 1u, ListFiles(dir, "*.tmp").size());
            DeleteFileA(line.c_str());
        }
        EXPECT_GE(stop, 10) << m[0];   // every rename, link, delete and line of the commit
    }
}

// A run killed part-way leaves temporary and set-aside files of its own
// names; the next run deletes them, puts back a target that went missing
// (the newest copy of two), and touches no other file, no folder, and
// no set-aside file of a target that does not belong in the folder.
TEST(CleanLeftovers, OnlyItsOwnNames)
{
    std::string dir = FreshDir("leftovers");
    const char *names[] = {NULL, "zrsupp31.dll", "zrsupp32.dll", "zrfilt32.8bf"};
    struct File {
        const char *name;
        bool kept;
        int year = 0;  // its last write
    } files[] = {
        {"zrs2A41.tmp", false}, {"ZRS0FFF.TMP", false}, {"zro2B00.tmp", false},
        {"zro3C00.tmp", false, 1996}, {"zro3D00.tmp", true, 2001},   // the newer put back
        {"zro1A00.tmp", true, 2001}, {"zro1B00.tmp", false, 1996},
        {"zro0ABC.tmp", true},  // the runtime's, in a folder where it does not belong
        {"zroF123.tmp", true},  // no record of the table
        {"zrs2A4.tmp", true},   {"zrsx000.tmp", true}, {"zrq0000.tmp", true},
        {"zrs00000.tmp", true}, {"zrn0123.tmp", true}, {"zrsupp32.dll", true},
    };
    for (const File &f : files)
        ASSERT_TRUE(WriteBytes(dir + f.name, f.name) &&
                    (!f.year || SetLocalWriteTime(dir + f.name, f.year, 1, 1, 0, 0, 0)));
    ASSERT_TRUE(CreateDirectoryA((dir + "zrs1234.tmp").c_str(), NULL));
    SetFileAttributesA((dir + "zro2B00.tmp").c_str(), FILE_ATTRIBUTE_READONLY);
    CleanLeftovers(dir.c_str(), names, 4);
    EXPECT_EQ("zro3D00.tmp", ReadBytes(dir + "zrfilt32.8bf"));
    EXPECT_EQ("zro1A00.tmp", ReadBytes(dir + "zrsupp31.dll"));
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY,
              GetFileAttributesA((dir + "zrs1234.tmp").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    for (const File &f : files)
        if (f.year != 2001) {
            EXPECT_EQ(f.kept, Exists(dir + f.name)) << f.name;
        }
}

// A temporary name that is taken, even by a folder, is passed over.
TEST_F(LZCopyTest, TakenTemporaryNamesArePassedOver)
{
    struct Clock {
        static DWORD WINAPI Stopped() { return 0x7123; }
    };
    ImportHook clock("GetTickCount", (void *)Clock::Stopped);
    ASSERT_TRUE(clock.ok());
    ASSERT_TRUE(WriteBytes(dir + "zrsF123.tmp", "someone else's"));
    ASSERT_TRUE(CreateDirectoryA((dir + "zrsF124.tmp").c_str(), NULL));
    ASSERT_TRUE(WriteBytes(source, MakeSZDD("new")));
    char temp[MAX_PATH];
    const char *failed = NULL;
    EXPECT_EQ(1, StageLZCopy(source.c_str(), target.c_str(), TAG_NONE, NULL, temp, &failed));
    EXPECT_EQ(dir + "zrsF125.tmp", temp);
    EXPECT_EQ("new", ReadBytes(temp));
    EXPECT_EQ("someone else's", ReadBytes(dir + "zrsF123.tmp"));
}

TEST(ShowLZError, MapsCodesToMessages)
{
    struct Case {
        int code;
        int mapped;
        const char *text;
    } cases[] = {
        {-1, LZ_CANNOT_OPEN, "Cannot open \"c:\\x\\y.dll\""},
        {-4, LZ_DISK_FULL, "Disk full when copying \"c:\\x\\y.dll\""},
        {-6, LZ_NO_MEMORY, "Insufficient memory"},
        {-5, LZ_INTERNAL, "Internal error (-3)"},
        {-2, LZ_INTERNAL, "Internal error (-3)"},
        {-9, LZ_INTERNAL, "Internal error (-3)"},
        {LZ_IN_USE, LZ_IN_USE, "\"c:\\x\\y.dll\" is in use by another program"},
        {LZ_DAMAGED, LZ_DAMAGED, "The disk is damaged: \"c:\\x\\y.dll\" cannot be read"},
    };
    for (const Case &c : cases) {
        PageWatcher alerts("Alert!", IDOK);
        EXPECT_EQ(c.mapped, ShowLZError(c.code, "c:\\x\\y.dll")) << c.code;
        ASSERT_EQ(1, alerts.Seen()) << c.code;
        EXPECT_EQ(c.text, alerts.Texts()[0]) << c.code;
    }
}

} // namespace

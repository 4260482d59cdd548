// File tests and LZ copying on real files in the throw-away prefix; the
// messages are read off the ALERT page while it is up.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>

#include "app/filecopy.h"
#include "app/checklist.h"
#include "app/crc32.h"
#include "app/syslibs.h"
#include "tests/app/app_test_util.h"

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

TEST_F(FileNewerTest, MissingSourceIsSkipped)
{
    DeleteFileA(source.c_str());
    EXPECT_EQ(0, FileNewer(source.c_str(), target.c_str()));
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
// their entry; any other entry is a damaged source.
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
        EXPECT_EQ(LZ_INTERNAL, Copy(source, target, &check));
        ASSERT_EQ(1u, shown.size());
        EXPECT_EQ("Internal error (-3)", shown[0]);
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

// MoveFileExA as NT gives it while another program has the target loaded:
// the one-step replace fails; a delete at restart is only noted.
std::vector<std::string> gMoveEx;
bool gNoMoveEx = false;
BOOL WINAPI LoadedTargetMoveFileEx(LPCSTR from, LPCSTR to, DWORD flags)
{
    gMoveEx.push_back(std::string(from) + " > " + (to ? to : "") + " " + std::to_string(flags));
    return (flags & MOVEFILE_REPLACE_EXISTING) ? FALSE : TRUE;
}
FARPROC LoadedTargetLookup(const char *name)
{
    if (lstrcmpA(name, "MoveFileExA") == 0)
        return gNoMoveEx ? NULL : (FARPROC)LoadedTargetMoveFileEx;
    return GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
}

// A runtime that another program has loaded. NT can rename it but not
// replace it, nor delete it until that program ends (read-only here): the
// new copy takes its place and NT is asked to delete the old one at the
// next restart. Windows 95 and Win32s (no usable MoveFileExA) cannot
// rename it either (held open here): the alert says it is in use and
// nothing changes. A file held open on NT is in use as well.
TEST_F(LZCopyTest, TargetInUseIsReplacedOnNTOrReportedAndKept)
{
    struct Case {
        const char *what;
        bool nt, held, readOnly;
        int rc;
    } cases[] = {
        {"NT, loaded", true, false, true, 1},
        {"NT, held open", true, true, false, LZ_IN_USE},
        {"95, loaded", false, true, false, LZ_IN_USE},
        {"95, free", false, false, false, 1},
    };
    SysLibsLookup(LoadedTargetLookup);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        dir = FreshDir("lzcopy-inuse");
        source = dir + "msvcrt20._ll";
        target = dir + "msvcrt20.dll";
        gMoveEx.clear();
        gNoMoveEx = !c.nt;
        ASSERT_TRUE(WriteBytes(target, "old"));
        ASSERT_TRUE(WriteBytes(source, MakeSZDD("new contents")));
        if (c.readOnly)
            SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
        HANDLE held = c.held ? CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                                           OPEN_EXISTING, 0, NULL)
                             : INVALID_HANDLE_VALUE;
        EXPECT_EQ(c.rc, Copy(source, target));
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        std::vector<std::string> temps = TempFiles();
        if (c.rc == LZ_IN_USE) {
            ASSERT_EQ(1u, shown.size());
            EXPECT_EQ("\"" + target + "\" is in use by another program", shown[0]);
            EXPECT_EQ("old", ReadBytes(target));
            EXPECT_TRUE(temps.empty());
        } else {
            EXPECT_TRUE(shown.empty());
            EXPECT_EQ("new contents", ReadBytes(target));
        }
        if (c.readOnly) {
            // The old copy was set aside in the same folder under an 8.3
            // name, and left to the restart.
            ASSERT_EQ(1u, temps.size());
            const std::string &aside = temps[0];
            EXPECT_EQ(11u, aside.size()) << aside;
            EXPECT_EQ(0u, aside.find("zro")) << aside;
            EXPECT_EQ("old", ReadBytes(dir + aside));
            ASSERT_EQ(2u, gMoveEx.size());
            EXPECT_EQ(dir + "zrs", gMoveEx[0].substr(0, dir.size() + 3));
            EXPECT_EQ(dir + aside + " >  " + std::to_string(MOVEFILE_DELAY_UNTIL_REBOOT),
                      gMoveEx[1]);
            SetFileAttributesA((dir + aside).c_str(), FILE_ATTRIBUTE_NORMAL);
        } else {
            EXPECT_TRUE(c.rc != 1 || temps.empty());
            EXPECT_EQ(c.nt ? 1u : 0u, gMoveEx.size()) << "only the replace was tried";
        }
    }
    SysLibsLookup(NULL);
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
    };
    for (const Case &c : cases) {
        PageWatcher alerts("Alert!", IDOK);
        EXPECT_EQ(c.mapped, ShowLZError(c.code, "c:\\x\\y.dll")) << c.code;
        ASSERT_EQ(1, alerts.Seen()) << c.code;
        EXPECT_EQ(c.text, alerts.Texts()[0]) << c.code;
    }
}

} // namespace

// Directory tests, drive search, the host setting and the size texts.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>

#include "app/install.h"
#include "app/plugindir.h"
#include "tests/app/app_test_util.h"

using namespace apptest;

namespace {

std::string SizeText(LONGLONG kb)
{
    char buf[SPACE_TEXT_SIZE];
    memset(buf, 'Q', sizeof buf);
    freespacestr(kb, buf);
    return buf;
}

TEST(FreeSpaceStr, KilobytesAsMegabytes)
{
    EXPECT_EQ("0.540 MB", SizeText(540));
    EXPECT_EQ("1.050 MB", SizeText(1050));
    EXPECT_EQ("2345.678 MB", SizeText(2345678));
    EXPECT_EQ("0.000 MB", SizeText(0));
    EXPECT_EQ("1.000 MB", SizeText(1000));
}

TEST(FreeSpaceStr, BeyondTwoGibibytes)
{
    // 2 GiB and more in kilobytes, and far beyond 32 bits.
    EXPECT_EQ("2097.152 MB", SizeText(2097152));
    EXPECT_EQ("3000000.000 MB", SizeText(3000000000LL));
    EXPECT_EQ("1099511627.776 MB", SizeText(1099511627776LL));
    EXPECT_EQ("9223372036854775.807 MB", SizeText(0x7FFFFFFFFFFFFFFFLL));
}

TEST(FreeSpace, MissingDriveIsUnknown)
{
    EXPECT_EQ(0, freespace(17));   // Q: is not mapped in the prefix
}

TEST(FreeSpace, AgreesWithTheSystemInSixtyFourBits)
{
    ULARGE_INTEGER avail, total, free;
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &avail, &total, &free));
    LONGLONG expected = (LONGLONG)(free.QuadPart / 1024);
    LONGLONG got = freespace(3);
    // The disk is shared with other work; allow some drift.
    EXPECT_NEAR((double)expected, (double)got, 64.0 * 1024);
    EXPECT_GT(got, 0);
    char before[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, before);
    SetCurrentDirectoryA("C:\\");
    EXPECT_NEAR((double)got, (double)freespace(0), 64.0 * 1024);   // C: is current
    SetCurrentDirectoryA(before);
}

TEST(DirectoryFits, RoomForTheLongestName)
{
    std::string dir(PATH_SIZE - 1 - MAX_TARGET_NAME - 1, 'd');   // 146
    EXPECT_EQ(1, DirectoryFits(dir.c_str()));
    EXPECT_EQ(1, DirectoryFits((dir + "\\").c_str()));
    EXPECT_EQ(0, DirectoryFits((dir + "d").c_str()));
    EXPECT_EQ(0, DirectoryFits((dir + "d\\").c_str()));
    EXPECT_EQ(1, DirectoryFits(""));
}

std::string CurrentDir()
{
    char buf[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, buf);
    return buf;
}

TEST(ValidDir, ExistingDirectoriesOnly)
{
    std::string dir = FreshDir("valid");
    CreateDirectoryA((dir + "sub").c_str(), NULL);
    ASSERT_TRUE(WriteBytes(dir + "file.txt", "x"));
    std::string before = CurrentDir();

    EXPECT_EQ(1, validdir((dir + "sub").c_str()));
    EXPECT_EQ(1, validdir((dir + "sub\\").c_str()));
    EXPECT_EQ(1, validdir(("   " + dir + "SUB").c_str()));
    EXPECT_EQ(0, validdir((dir + "none").c_str()));
    EXPECT_EQ(0, validdir((dir + "file.txt").c_str()));
    EXPECT_EQ(0, validdir(""));
    EXPECT_EQ(0, validdir("    "));
    EXPECT_EQ(0, validdir("q:\\"));
    EXPECT_EQ(before, CurrentDir());
}

TEST(TestDir, FindsTheSubpathOnTheFirstDriveAsSpelled)
{
    std::string before = CurrentDir();
    char out[PATH_SIZE];
    EXPECT_EQ(0, testdir("\\AppTestNoSuch\\plugins", out));
    EXPECT_STREQ("", out);

    CreateDirectoryA("C:\\AppTestPs", NULL);
    CreateDirectoryA("C:\\AppTestPs\\PlugIns", NULL);
    EXPECT_EQ(1, testdir("\\apptestps\\plugins", out));
    EXPECT_STREQ("C:\\AppTestPs\\PlugIns", out);
    EXPECT_EQ(before, CurrentDir());
    RemoveDirectoryA("C:\\AppTestPs\\PlugIns");
    RemoveDirectoryA("C:\\AppTestPs");
}

TEST(TestDir, SearchesEveryPresentDrive)
{
    // C: and Z: exist in every prefix; the bound reaches past Z:.
    EXPECT_EQ(26, DriveBound());
    char out[PATH_SIZE];
    // Z: is the host's root: /tmp exists there, and not on C:.
    EXPECT_EQ(1, testdir("\\tmp", out));
    EXPECT_STREQ("Z:\\tmp", out);
}

class IniTest : public testing::Test {
protected:
    void SetUp() override
    {
        char win[MAX_PATH];
        GetWindowsDirectoryA(win, MAX_PATH);
        ini = std::string(win) + "\\photos30.ini";
    }
    void TearDown() override { DeleteFileA(ini.c_str()); }
    std::string ini;
};

TEST_F(IniTest, ReadsThePlugInDirectory)
{
    ASSERT_TRUE(WriteBytes(ini, "[Other]\r\nPlugInDirectory=x\r\n[Photoshop]\r\n"
                                "PlugInDirectory=D:\\PS\\PLUGINS\r\n"));
    char dir[PATH_SIZE] = "";
    EXPECT_EQ(1, CheckINI(dir));
    EXPECT_STREQ("D:\\PS\\PLUGINS", dir);
}

TEST_F(IniTest, MissingFileOrKeyFindsNothing)
{
    char dir[PATH_SIZE] = "junk";
    EXPECT_EQ(0, CheckINI(dir));
    EXPECT_STREQ("", dir);
    ASSERT_TRUE(WriteBytes(ini, "[Photoshop]\r\nOther=1\r\n"));
    EXPECT_EQ(0, CheckINI(dir));
}

TEST_F(IniTest, LongValueIsCutToTheBuffer)
{
    std::string value(300, 'v');
    ASSERT_TRUE(WriteBytes(ini, "[Photoshop]\r\nPlugInDirectory=" + value + "\r\n"));
    char dir[PATH_SIZE + 8];
    memset(dir, 'Q', sizeof dir);
    EXPECT_EQ(1, CheckINI(dir));
    EXPECT_LT(lstrlenA(dir), PATH_SIZE - 1);
    EXPECT_EQ('Q', dir[PATH_SIZE]);
}

} // namespace

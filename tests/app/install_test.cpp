// Path preparation, the file table and the source directory.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstring>
#include <string>

#include "app/globals.h"
#include "app/install.h"
#include "app/pathtext.h"
#include "app/plugindir.h"

namespace {

std::string Prepared(const char *path)
{
    char buf[PATH_SIZE];
    lstrcpynA(buf, path, sizeof buf);
    PreparePath(buf);
    return buf;
}

TEST(PreparePath, AddsOneBackslashAndLowerCases)
{
    EXPECT_EQ("d:\\photoshp\\plugins\\", Prepared("D:\\Photoshp\\Plugins"));
    EXPECT_EQ("d:\\photoshp\\plugins\\", Prepared("D:\\Photoshp\\Plugins\\"));
    EXPECT_EQ("\\", Prepared(""));
    EXPECT_EQ("c:\\", Prepared("C:"));
    EXPECT_EQ("c:\\a b\\x-1_z\\", Prepared("C:\\A B\\X-1_Z"));
}

TEST(PreparePath, LeavesNonAsciiLettersAlone)
{
    EXPECT_EQ("c:\\\xC4rger\\", Prepared("C:\\\xC4RGER"));
}

// In code page 932 the second byte of "\x95\x5C" is a backslash, those of
// "\x83\x4F\x83\x43" are letters. Runs alone, in a Japanese locale.
TEST(PreparePath, OwnProcessInCodePage932)
{
    ASSERT_EQ(932u, GetACP()) << "no ja_JP.UTF-8 locale (scripts/install-deps.sh makes it)";
    EXPECT_EQ("c:\\\x95\x5C\\", Prepared("C:\\\x95\x5C"));
    EXPECT_EQ("c:\\x\x83\x4F\x83\x43\\", Prepared("C:\\X\x83\x4F\x83\x43"));
    std::string dir = "c:\\" + std::string(PATH_SIZE - 18, 'd') + "\x95\x5C";
    EXPECT_FALSE(DirectoryFits(dir.c_str()));   // the backslash is still to come
    char path[PATH_SIZE] = "c:\\\x83\x5C\\\x95\x5C\\setup.exe";
    KeepDirectory(path);
    EXPECT_STREQ("c:\\\x83\x5C\\\x95\x5C\\", path);
}

TEST(PreparePath, FullBufferIsNeverOverrun)
{
    char buf[PATH_SIZE + 8];
    memset(buf, 'Q', sizeof buf);
    memset(buf, 'A', PATH_SIZE - 1);
    buf[PATH_SIZE - 1] = '\0';
    EXPECT_EQ(0, PreparePath(buf));
    EXPECT_EQ(PATH_SIZE - 1, lstrlenA(buf));
    EXPECT_EQ('a', buf[0]);
    EXPECT_EQ('a', buf[PATH_SIZE - 2]);
    for (int i = PATH_SIZE; i < PATH_SIZE + 8; i++)
        EXPECT_EQ('Q', buf[i]) << i;

    // One shorter: the backslash still fits, exactly.
    memset(buf, 'B', PATH_SIZE - 2);
    buf[PATH_SIZE - 2] = '\0';
    EXPECT_EQ(1, PreparePath(buf));
    EXPECT_EQ(PATH_SIZE - 1, lstrlenA(buf));
    EXPECT_EQ('\\', buf[PATH_SIZE - 2]);
    EXPECT_EQ('Q', buf[PATH_SIZE]);
}

TEST(JoinPath, RefusesWhatDoesNotFit)
{
    char out[PATH_SIZE + 4];
    memset(out, 'Q', sizeof out);
    std::string dir(PATH_SIZE - 1 - MAX_TARGET_NAME, 'd');
    EXPECT_EQ(1, JoinPath(out, dir.c_str(), "zrfilt32.8bf"));
    EXPECT_EQ(dir + "zrfilt32.8bf", std::string(out));

    memset(out, 'Q', sizeof out);
    dir += 'd';
    EXPECT_EQ(0, JoinPath(out, dir.c_str(), "zrfilt32.8bf"));
    EXPECT_EQ('\0', out[0]);
    EXPECT_EQ('Q', out[PATH_SIZE]);
}

TEST(SourceDirectory, IsTheProgramsOwnDirectoryLowerCased)
{
    char expected[MAX_PATH];
    DWORD len = GetModuleFileNameA(NULL, expected, MAX_PATH);
    ASSERT_GT(len, 0u);
    char *slash = strrchr(expected, '\\');
    ASSERT_TRUE(slash);
    slash[1] = '\0';
    CharLowerA(expected);

    char dir[PATH_SIZE];
    if (lstrlenA(expected) < PATH_SIZE - 1) {
        EXPECT_EQ(1, SourceDirectory(dir));
        EXPECT_STREQ(expected, dir);
    } else {
        EXPECT_EQ(0, SourceDirectory(dir));
        EXPECT_STREQ("", dir);
    }
}

} // namespace

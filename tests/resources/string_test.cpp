// The string table: every text exactly, as LoadString gives it.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>

#include "app/globals.h"
#include "resources/resource_ids.h"

namespace {

struct Entry {
    UINT id;
    const char *text;
};

const Entry kStrings[] = {
    {IDS_WELCOME, "Welcome to the Vellox Demo.  This program will install the Vellox Demo in "
                  "Photoshop 3.0/Photopaint 6.0's plug-in directory."},
    {IDS_CONTINUE_HINT, "Click on 'Continue' to continue with the installation.  Click on 'Exit' "
                        "to exit without installing."},
    {IDS_NOTE, "Note: This version is specifically for Adobe Photoshop 3.0 and Corel Photopaint "
               "6.0. Contact Orrin Software at (555) 010-0199 about other paint programs."},
    {IDS_WHERE_PLUGINS, "Where is your Photoshop 3.0/Photopaint 6.0 plug-in directory?"},
    {IDS_ENVIRONMENT, "Setup has detected the following enviroment.  Ensure the environment is "
                      "correct and click 'Continue' to continue, 'Exit' to quit."},
    {IDS_TITLE, "Vellox v2.0 Demo for Adobe Photoshop 3.0/Photopaint 6.0"},
    {IDS_NO_MEMORY, "Insufficient memory"},
    {IDS_DISK_FULL, "Disk full when copying \"%s\""},
    {IDS_INTERNAL_ERROR, "Internal error (%d)"},
    {IDS_CANNOT_OPEN, "Cannot open \"%s\""},
    {IDS_IN_USE, "\"%s\" is in use by another program"},
    {IDS_DAMAGED, "The disk is damaged: \"%s\" cannot be read"},
};

TEST(Strings, EveryEntryHasItsExactTextAndNoOthersExist)
{
    for (const Entry &e : kStrings) {
        char buffer[512];
        std::memset(buffer, '#', sizeof buffer);
        int n = LoadStringA(ghInst, e.id, buffer, sizeof buffer);
        EXPECT_EQ((int)std::strlen(e.text), n) << e.id;
        EXPECT_STREQ(e.text, buffer) << e.id;
    }
    // The ids the program uses are the ones in the shared header.
    EXPECT_EQ(5000, IDS_WELCOME);
    EXPECT_EQ(6000, IDS_TITLE);
    EXPECT_EQ(65535, IDS_CANNOT_OPEN);

    // Neighbours of the listed ids share their string blocks but are empty.
    const UINT absent[] = {4999, 5003, 5015, 5699, 5701, 5801, 5999, 6001, 65518, 65521, 65530, 65534};
    for (UINT id : absent) {
        char buffer[64] = "unchanged";
        EXPECT_EQ(0, LoadStringA(ghInst, id, buffer, sizeof buffer)) << id;
    }
}

// The version information, read from the module's file through
// version.dll as Explorer reads it: the file version, every text exactly.
TEST(Strings, VersionInformationNamesProductMakerAndVersion)
{
    static const char *const kTexts[][2] = {
        {"ProductName", "Vellox Demo"}, {"FileDescription", "Vellox 2.0 Setup"},
        {"CompanyName", "Orrin Software"}, {"FileVersion", "2.0"}, {"ProductVersion", "2.0"},
        {"OriginalFilename", "setup.exe"}, {"LegalCopyright", "Copyright (C) Orrin Software"}};
    HMODULE version = LoadLibraryA("version.dll");
    auto info = (decltype(&GetFileVersionInfoA))(void *)GetProcAddress(version, "GetFileVersionInfoA");
    auto query = (decltype(&VerQueryValueA))(void *)GetProcAddress(version, "VerQueryValueA");
    ASSERT_TRUE(info && query);
    static char block[8192], path[MAX_PATH], key[100];
    ASSERT_GT(GetModuleFileNameA(ghInst, path, sizeof path), 0u);
    ASSERT_TRUE(info(path, 0, sizeof block, block)) << "no version information";
    VS_FIXEDFILEINFO *fixed = NULL;
    UINT len = 0;
    ASSERT_TRUE(query(block, "\\", (void **)&fixed, &len));
    EXPECT_EQ(0x00020000u, fixed->dwFileVersionMS);
    for (const auto &e : kTexts) {
        const char *text = NULL;
        wsprintfA(key, "\\StringFileInfo\\040904E4\\%s", e[0]);
        EXPECT_TRUE(query(block, key, (void **)&text, &len)) << e[0];
        EXPECT_STREQ(e[1], text ? text : "") << e[0];
    }
}

} // namespace

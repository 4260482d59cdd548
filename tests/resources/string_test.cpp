// The string table: every text exactly, as LoadString gives it; and the
// version information's texts, as Explorer reads them with VerQueryValue.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

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

// Version information: every text exactly, read from the module's own file
// through version.dll (loaded here; the test executables do not link it).
const struct {
    const char *key;
    const char *text;
} kVersionStrings[] = {
    {"ProductName", "Vellox Demo"},
    {"FileDescription", "Vellox 2.0 Setup"},
    {"CompanyName", "Orrin Software"},
    {"FileVersion", "2.0"},
    {"ProductVersion", "2.0"},
    {"OriginalFilename", "setup.exe"},
    {"LegalCopyright", "Copyright (C) Orrin Software"},
};

TEST(Strings, VersionInformationNamesProductMakerAndVersion)
{
    typedef DWORD(WINAPI * SizeProc)(LPCSTR, LPDWORD);
    typedef BOOL(WINAPI * InfoProc)(LPCSTR, DWORD, DWORD, LPVOID);
    typedef BOOL(WINAPI * QueryProc)(LPCVOID, LPCSTR, LPVOID *, PUINT);
    HMODULE version = LoadLibraryA("version.dll");
    ASSERT_TRUE(version != NULL);
    SizeProc size = (SizeProc)(void *)GetProcAddress(version, "GetFileVersionInfoSizeA");
    InfoProc info = (InfoProc)(void *)GetProcAddress(version, "GetFileVersionInfoA");
    QueryProc query = (QueryProc)(void *)GetProcAddress(version, "VerQueryValueA");
    ASSERT_TRUE(size && info && query);
    char path[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(ghInst, path, sizeof path), 0u);
    DWORD handle = 0, n = size(path, &handle);
    ASSERT_GT(n, 0u) << "no version information";
    std::vector<char> block(n);
    ASSERT_TRUE(info(path, 0, n, block.data()));

    void *value = NULL;
    UINT len = 0;
    ASSERT_TRUE(query(block.data(), "\\", &value, &len));
    const VS_FIXEDFILEINFO *fixed = (const VS_FIXEDFILEINFO *)value;
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    EXPECT_EQ(0x00020000u, fixed->dwFileVersionMS);
    EXPECT_EQ(0u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00020000u, fixed->dwProductVersionMS);
    EXPECT_EQ((DWORD)VFT_APP, fixed->dwFileType);
    ASSERT_TRUE(query(block.data(), "\\VarFileInfo\\Translation", &value, &len));
    ASSERT_EQ(4u, len);
    EXPECT_EQ(0x0409u, ((const WORD *)value)[0]);
    EXPECT_EQ(1252u, ((const WORD *)value)[1]);

    for (const auto &e : kVersionStrings) {
        std::string key = std::string("\\StringFileInfo\\040904E4\\") + e.key;
        value = NULL;
        ASSERT_TRUE(query(block.data(), key.c_str(), &value, &len)) << e.key;
        EXPECT_STREQ(e.text, (const char *)value) << e.key;
    }
    FreeLibrary(version);
}

} // namespace

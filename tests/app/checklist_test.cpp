// The CRC-32 against its known check values, and the checksum list's own
// check: a whole list parses, any changed byte or a wrong count does not.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>

#include "app/checklist.h"
#include "app/crc32.h"
#include "tests/app/app_test_util.h"
#include "tests/support/import_hook.h"

using namespace apptest;

namespace {

// Bit by bit, as the polynomial defines it: the reference for the tables.
uint32_t SlowCrc(const std::string &s)
{
    uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : s) {
        c ^= b;
        for (int k = 0; k < 8; k++)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    return ~c;
}

TEST(Crc32, KnownValues)
{
    const struct {
        const char *text;
        uint32_t crc;
    } vectors[] = {
        {"", 0x00000000u},
        {"a", 0xE8B7BE43u},
        {"123456789", 0xCBF43926u},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
    };
    for (const auto &v : vectors) {
        EXPECT_EQ(v.crc, Crc32Update(0, v.text, lstrlenA(v.text))) << v.text;
        EXPECT_EQ(v.crc, SlowCrc(v.text)) << v.text;
    }
}

TEST(Crc32, AnySplitAndAlignmentGivesTheSameValue)
{
    std::string data(301, '\0');
    unsigned seed = 99;
    for (char &c : data) {
        seed = seed * 1103515245u + 12345u;
        c = (char)(seed >> 16);
    }
    uint32_t want = SlowCrc(data);
    for (size_t cut = 0; cut <= data.size(); cut++) {
        uint32_t c = Crc32Update(0, data.data(), cut);
        EXPECT_EQ(want, Crc32Update(c, data.data() + cut, data.size() - cut)) << cut;
    }
}

std::string Sealed(const std::string &entries, int count, const char *eol = "\r\n")
{
    char end[32];
    wsprintfA(end, "* %d %08X%s", count, (unsigned)SlowCrc(entries), eol);
    return entries + end;
}

const char kEntries[] =
    "msvcrt20._ll      34304 5E0A1C77\r\n"
    "ZRFILT32._BF      15872 0b4d33a0\r\n";

TEST(CheckList, WholeListParses)
{
    CheckList list;
    for (const char *eol : {"\r\n", "\n", ""}) {
        std::string text = Sealed(kEntries, 2, eol);
        ASSERT_EQ(1, ParseCheckList(text.data(), (int)text.size(), &list)) << text;
        ASSERT_EQ(2, list.count);
        const FileCheck *f = FindCheck(&list, "zrfilt32._bf");
        ASSERT_NE(nullptr, f);
        EXPECT_EQ(15872u, f->size);
        EXPECT_EQ(0x0B4D33A0u, f->crc);
        EXPECT_EQ(0x5E0A1C77u, FindCheck(&list, "MSVCRT20._LL")->crc);
        EXPECT_EQ(nullptr, FindCheck(&list, "zrsupp32._ll"));
        EXPECT_EQ(nullptr, FindCheck(&list, "zrfilt32._b"));
    }
    std::string unix = Sealed("a._ll 1 00000001\nb._ll 2 00000002\n", 2, "\n");
    EXPECT_EQ(1, ParseCheckList(unix.data(), (int)unix.size(), &list));
}

TEST(CheckList, DamagedListsAreRefused)
{
    CheckList list;
    std::string good = Sealed(kEntries, 2);
    // every single changed byte, the check line's included
    for (size_t i = 0; i < good.size(); i++) {
        std::string bad = good;
        bad[i] ^= 0x01;
        EXPECT_EQ(0, ParseCheckList(bad.data(), (int)bad.size(), &list)) << "byte " << i;
    }
    const std::string refused[] = {
        Sealed(kEntries, 3),                                    // wrong count
        std::string(kEntries),                                  // no check line
        good.substr(0, good.size() - 4),                        // cut short
        Sealed("zrfilt32._bf 15872\r\n", 1),                    // entry without CRC
        Sealed("zrfilt32._bf 15872 0B4D33A\r\n", 1),            // seven digits
        Sealed("zrfilt32._bf 4294967296 0B4D33A0\r\n", 1),      // size past 32 bits
        Sealed("zrfilt32._bf 15872 0B4D33A0 extra\r\n", 1),     // a fourth word
        Sealed("averylongname.dll 1 0B4D33A0\r\n", 1),          // not an 8.3 name
        good + "trailing line\r\n",                             // the check line not last
        Sealed("zrfilt32._bf 15872 0B4D33A0\r\n"
               "ZRFILT32._BF 15872 0B4D33A0\r\n", 2),               // a name twice
        "",
    };
    for (const std::string &bad : refused)
        EXPECT_EQ(0, ParseCheckList(bad.data(), (int)bad.size(), &list)) << bad;
}

// GetFileAttributesA as on a drive that is not ready.
DWORD WINAPI AttributesNotReady(LPCSTR)
{
    SetLastError(ERROR_NOT_READY);
    return INVALID_FILE_ATTRIBUTES;
}

TEST(CheckList, LoadTellsNoListFromADamagedOne)
{
    std::string dir = FreshDir("checklist");
    CheckList list;
    EXPECT_EQ(CHECK_LIST_NONE, LoadCheckList(dir.c_str(), &list));
    ASSERT_TRUE(WriteBytes(dir + CHECK_LIST_NAME, Sealed(kEntries, 2)));
    EXPECT_EQ(CHECK_LIST_READ, LoadCheckList(dir.c_str(), &list));
    EXPECT_EQ(2, list.count);
    ASSERT_TRUE(WriteBytes(dir + CHECK_LIST_NAME, Sealed(kEntries, 1)));
    EXPECT_EQ(CHECK_LIST_DAMAGED, LoadCheckList(dir.c_str(), &list));
    // longer than any list: refused unread
    ASSERT_TRUE(WriteBytes(dir + CHECK_LIST_NAME, std::string(CHECK_LIST_MAX_BYTES + 1, ' ')));
    EXPECT_EQ(CHECK_LIST_DAMAGED, LoadCheckList(dir.c_str(), &list));
    // a list that cannot be looked at is not a missing one
    ASSERT_TRUE(WriteBytes(dir + CHECK_LIST_NAME, Sealed(kEntries, 2)));
    {
        ImportHook hook("GetFileAttributesA", (void *)AttributesNotReady);
        ASSERT_TRUE(hook.ok());
        EXPECT_EQ(CHECK_LIST_DAMAGED, LoadCheckList(dir.c_str(), &list));
    }
}

TEST(CheckList, FileCrcReadsTheWholeFile)
{
    std::string dir = FreshDir("filecrc");
    std::string data(200000, '\0');   // several reading blocks and a part
    for (size_t i = 0; i < data.size(); i++)
        data[i] = (char)(i * 7 + (i >> 9));
    ASSERT_TRUE(WriteBytes(dir + "f.dll", data));
    DWORD size = 0, crc = 0;
    ASSERT_EQ(1, FileCrc32((dir + "f.dll").c_str(), &size, &crc));
    EXPECT_EQ(data.size(), size);
    EXPECT_EQ(SlowCrc(data), crc);
    EXPECT_EQ(0, FileCrc32((dir + "none.dll").c_str(), &size, &crc));
}

} // namespace

// pickOff with random texts, separators and destination sizes. Source and
// destination both end at an inaccessible page: the destination block is
// exactly `size` bytes, so one byte written too many faults, and the source
// ends with its terminator, so reading past it faults too.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "controls/control_ctl.h"
#include "tests/fuzz/fuzz_util.h"

namespace {

const unsigned char kFill = 0x5A;

// One call checked against the rules; false on any difference.
bool CheckOne(const fuzz::Guarded &srcMem, const fuzz::Guarded &dstMem, const std::string &text,
              char sep, int size, const char **next)
{
    const char *src = srcMem.PlaceText(text);
    char *dst = (char *)dstMem.Tail((size_t)size);
    memset(dst, kFill, (size_t)size);
    const char *ret = MyControlCtl::pickOff(src, sep, dst, size);

    size_t field = text.find(sep);
    if (field == std::string::npos)
        field = text.size();
    const char *want = src + field + (field < text.size() ? 1 : 0);
    bool ok = ret == want;
    if (size >= 2) {
        size_t kept = field < (size_t)(size - 2) ? field : (size_t)(size - 2);
        ok = ok && memcmp(dst, src, kept) == 0 && dst[kept] == '\0';
        for (size_t k = kept + 1; k < (size_t)size; k++)
            ok = ok && (unsigned char)dst[k] == kFill;
    } else {
        for (int k = 0; k < size; k++)
            ok = ok && (unsigned char)dst[k] == kFill;
    }
    *next = ret;
    return ok;
}

} // namespace

TEST(Fuzz, PickOff)
{
    fuzz::Guarded srcMem(1024), dstMem(256), walkMem(256);
    ASSERT_TRUE(srcMem.ok() && dstMem.ok() && walkMem.ok());
    ASSERT_TRUE(dstMem.GuardIsLive());
    fuzz::Rng rng(fuzz::kSeed);
    fuzz::FaultReporter report("pickOff");
    const char seps[] = ",,,,;*~ ";
    const long kInputs = fuzz::Loops(1000000);
    long failures = 0;

    for (long i = 0; i < kInputs; i++) {
        std::string text = fuzz::RandomText(rng, rng.OneIn(8) ? 300 : 80, ",,1*~ab");
        report.Current(&text);
        // Any byte may be the separator, the terminator included.
        char sep = rng.OneIn(16) ? (char)rng.Below(256) : seps[rng.Below(sizeof seps - 1)];
        // The controls pass 63; every size from none up is tried.
        int size = rng.OneIn(2) ? 63 : (int)rng.Below(70);
        const char *next = NULL;
        bool ok = CheckOne(srcMem, dstMem, text, sep, size, &next);

        // Walking the fields to the end: one more call per separator and a
        // last one that yields an empty field at the terminator, never a
        // step past it.
        const char *src = srcMem.PlaceText(text);
        const char *p = src;
        char field[63];
        size_t fields = 0, seen = 0;
        for (char c : text)
            seen += c == sep;
        while (*p && fields <= text.size()) {
            p = MyControlCtl::pickOff(p, sep, field, sizeof field);
            fields++;
        }
        // A text ending in the separator walks to the terminator in as
        // many calls as it has separators; otherwise one more.
        size_t want = text.empty() ? 0 : seen + (text.back() == sep ? 0 : 1);
        ok = ok && p == src + text.size() && fields == want;
        char *tiny = (char *)walkMem.Tail(1);
        ok = ok && MyControlCtl::pickOff(p, sep, tiny, 1) == p;

        if (!ok && ++failures <= 5)
            ADD_FAILURE() << "pickOff [" << text << "] sep '" << sep << "' size " << size;
    }
    fuzz::Report("pickOff", kInputs, failures);
    EXPECT_EQ(0, failures);
}

// A NUL separator ends the field at the terminator, and the next field
// starts there: a further call, from a text that ends at the inaccessible
// page, yields an empty field instead of reading past the end.
TEST(Fuzz, PickOffNulSeparatorStopsAtTerminator)
{
    fuzz::Guarded srcMem(64);
    ASSERT_TRUE(srcMem.ok());
    const char *src = srcMem.PlaceText("1,Ready");
    char field[63];
    const char *next = MyControlCtl::pickOff(src, '\0', field, sizeof field);
    EXPECT_STREQ("1,Ready", field);
    ASSERT_EQ(src + 7, next);
    EXPECT_EQ(next, MyControlCtl::pickOff(next, '\0', field, sizeof field));
    EXPECT_STREQ("", field);
}

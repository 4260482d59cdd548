// Random directory paths through PreparePath and JoinPath, in buffers of
// exactly PATH_SIZE bytes that end at an inaccessible page: a write (or a
// read) one byte past a buffer ends the run. Bytes after the new end of
// the text must be left as they were.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/install.h"
#include "tests/fuzz/fuzz_util.h"

namespace {

const unsigned char kFill = 0xA5;

std::string Lower(std::string s)
{
    for (char &c : s)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c + 32);
    return s;
}

// Length of a path the callers can hand over: up to 159 characters (a
// module or system path filling the buffer), weighted towards the end.
int PathLength(fuzz::Rng &rng)
{
    switch (rng.Below(4)) {
    case 0: return (int)rng.Below(8);
    case 1: return 150 + (int)rng.Below(PATH_SIZE - 150);
    default: return (int)rng.Below(PATH_SIZE);
    }
}

std::string RandomPath(fuzz::Rng &rng, int len)
{
    static const char kChars[] = "AZaz09\\\\\\:. _-~Program FilesPLUGINS";
    std::string s;
    for (int i = 0; i < len; i++)
        s += rng.OneIn(6) ? (char)(1 + rng.Below(255)) : kChars[rng.Below(sizeof kChars - 1)];
    return s;
}

} // namespace

TEST(Fuzz, PreparePathAndJoinPath)
{
    fuzz::Guarded pathMem(PATH_SIZE), outMem(PATH_SIZE), dirMem(512), nameMem(512);
    ASSERT_TRUE(pathMem.ok() && outMem.ok() && dirMem.ok() && nameMem.ok());
    ASSERT_TRUE(pathMem.GuardIsLive());
    fuzz::Rng rng(fuzz::kSeed);
    fuzz::FaultReporter report("PreparePath/JoinPath");
    const long kInputs = fuzz::Loops(1000000);
    long failures = 0;
    long refused = 0;

    for (long i = 0; i < kInputs; i++) {
        std::string in = RandomPath(rng, PathLength(rng));
        report.Current(&in);
        char *buf = (char *)pathMem.Tail(PATH_SIZE);
        memset(buf, kFill, PATH_SIZE);
        memcpy(buf, in.c_str(), in.size() + 1);

        int ok = PreparePath(buf);
        size_t n = in.size();
        bool needs = n == 0 || in[n - 1] != '\\';
        std::string want = Lower(in);
        int wantOk = 1;
        if (needs && n + 1 < PATH_SIZE)
            want += '\\';
        else if (needs)
            wantOk = 0;
        bool good = ok == wantOk && std::string(buf) == want;
        for (size_t k = want.size() + 1; k < PATH_SIZE; k++)
            good = good && (unsigned char)buf[k] == kFill;
        // Preparing a prepared path changes nothing.
        if (ok) {
            PreparePath(buf);
            good = good && std::string(buf) == want;
        } else {
            refused++;
        }

        // The prepared directory and a file name, as the copy loop joins
        // them; names of any length, longer directories too.
        std::string name = RandomPath(rng, rng.OneIn(4) ? (int)rng.Below(200) : (int)rng.Below(13));
        std::string dir = rng.OneIn(8) ? RandomPath(rng, (int)rng.Below(400)) : std::string(buf);
        char *out = (char *)outMem.Tail(PATH_SIZE);
        memset(out, kFill, PATH_SIZE);
        int joined = JoinPath(out, dirMem.PlaceText(dir), nameMem.PlaceText(name));
        bool fits = dir.size() + name.size() < PATH_SIZE;
        good = good && joined == (fits ? 1 : 0) &&
               std::string(out) == (fits ? dir + name : std::string());
        for (size_t k = strlen(out) + 1; k < PATH_SIZE; k++)
            good = good && (unsigned char)out[k] == kFill;

        if (!good && ++failures <= 5)
            ADD_FAILURE() << "path [" << in << "] gave [" << buf << "] result " << ok
                          << "; join gave [" << out << "]";
    }
    fuzz::Report("PreparePath+JoinPath", kInputs, failures);
    printf("fuzz: PreparePath refused the backslash for %ld full paths\n", refused);
    EXPECT_EQ(0, failures);
    EXPECT_GT(refused, 0);
}

// Random command lines through the program-name skip and the switch
// scanner. Each argument text lies against an inaccessible page, so a read
// past its terminator ends the run. Besides a small model of the rules,
// properties that need no model are checked: '-' and '/' are
// interchangeable, letter case does not matter, and a text joined from two
// parts by a blank sets exactly the union of what the parts set.
#include <gtest/gtest.h>

#include <string>

#include "app/globals.h"
#include "app/main.h"
#include "tests/fuzz/fuzz_util.h"

namespace {

struct Flags {
    int scan, network, force;
    bool operator==(const Flags &o) const
    {
        return scan == o.scan && network == o.network && force == o.force;
    }
};

Flags Scan(const char *args)
{
    gfScan = 1;
    gfNetworkWin = 0;
    gfForceMSVC = 0;
    ScanSwitches(args);
    Flags f = {gfScan, gfNetworkWin, gfForceMSVC};
    return f;
}

// The rules, stated as: every prefix character followed by one of the
// letters s, n, m in either case has that letter's effect.
Flags Model(const std::string &s)
{
    Flags f = {1, 0, 0};
    for (size_t i = 0; i + 1 < s.size(); i++) {
        if (s[i] != '-' && s[i] != '/')
            continue;
        switch (s[i + 1]) {
        case 's': case 'S': f.scan = 0; break;
        case 'n': case 'N': f.network = 1; break;
        case 'm': case 'M': f.force = 1; break;
        default: break;
        }
    }
    return f;
}

std::string SwapPrefixes(std::string s)
{
    for (char &c : s)
        c = c == '-' ? '/' : (c == '/' ? '-' : c);
    return s;
}

std::string Upper(std::string s)
{
    for (char &c : s)
        if (c >= 'a' && c <= 'z')
            c = (char)(c - 'a' + 'A');
    return s;
}

} // namespace

TEST(Fuzz, SwitchScanner)
{
    fuzz::Guarded mem(4096);
    ASSERT_TRUE(mem.ok());
    ASSERT_TRUE(mem.GuardIsLive());
    fuzz::Rng rng(fuzz::kSeed);
    fuzz::FaultReporter report("ScanSwitches");
    const char *alphabet = "-/-/snmSNMx \t\"c:\\ab";
    const long kInputs = fuzz::Loops(1000000);
    long failures = 0;

    for (long i = 0; i < kInputs; i++) {
        std::string a = fuzz::RandomText(rng, 40, alphabet);
        std::string b = fuzz::RandomText(rng, 40, alphabet);
        std::string joined = a + " " + b;
        report.Current(&joined);

        Flags got = Scan(mem.PlaceText(joined));
        Flags fa = Scan(mem.PlaceText(a));
        Flags fb = Scan(mem.PlaceText(b));
        Flags uni = {fa.scan & fb.scan, fa.network | fb.network, fa.force | fb.force};
        bool ok = got == Model(joined) && got == uni &&
                  Scan(mem.PlaceText(SwapPrefixes(joined))) == got &&
                  Scan(mem.PlaceText(Upper(joined))) == got;

        // A program name in front of the arguments is skipped whatever it
        // holds, prefixes included; quoted names may hold blanks.
        std::string program = fuzz::RandomText(rng, 30, "-/snm:\\ab.");
        for (char &c : program)
            if (c == '"' || c == ' ' || c == '\t')
                c = '-';
        std::string line = rng.OneIn(2) ? "\"" + program + " x\"" : program;
        if (line.empty())
            line = "p";
        std::string args = b;
        while (!args.empty() && (args[0] == ' ' || args[0] == '\t'))
            args.erase(0, 1);
        line += std::string(1 + rng.Below(3), ' ') + args;
        report.Current(&line);
        const char *placed = mem.PlaceText(line);
        const char *rest = ArgumentText(placed);
        ok = ok && rest >= placed && rest <= placed + line.size() && std::string(rest) == args;

        // Lines of any shape, an unclosed quote among them: the result
        // must stay inside the text.
        std::string raw = fuzz::RandomText(rng, 20, "\" \t-/sx");
        report.Current(&raw);
        placed = mem.PlaceText(raw);
        rest = ArgumentText(placed);
        ok = ok && rest >= placed && rest <= placed + raw.size();
        Scan(rest);

        if (!ok && ++failures <= 5)
            ADD_FAILURE() << "switches differ for [" << joined << "] / line [" << line << "]";
    }
    fuzz::Report("switch scanner", kInputs, failures);
    EXPECT_EQ(0, failures);
    gfScan = 1;
    gfNetworkWin = 0;
    gfForceMSVC = 0;
}

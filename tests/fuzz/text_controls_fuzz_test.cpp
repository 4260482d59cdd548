// Real text and multi-line text controls created with random template
// texts (field prefixes, "*", "~" with numbers of every shape, long texts),
// compared with the template rules; multi-line controls then get random
// WM_SETTEXT texts and WM_GETTEXT calls whose buffers end at an
// inaccessible page. Every so often a control is painted, so the drawing
// paths see the random texts too.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "app/globals.h"
#include "controls/mtext_ctl.h"
#include "controls/text_ctl.h"
#include "controls/control_mgr.h"
#include "tests/fuzz/fuzz_util.h"
#include "tests/support/ctl_page.h"
#include "tests/support/win_test.h"

namespace {

std::string WindowText(HWND w)
{
    char buf[1024];
    buf[0] = '\0';
    GetWindowTextA(w, buf, sizeof buf);
    return buf;
}

// The single-line rules: 254 characters are read; with a comma the first
// field's first character picks outlining and the second field (cut to 61)
// becomes the text; then a leading "*" sets right alignment and is dropped
// (from the text as read again, 254 characters).
void TextModel(const std::string &tmpl, int *outline, int *right, std::string *shown)
{
    std::string text = tmpl;
    std::string read = tmpl.substr(0, 254);
    *outline = 0;
    *right = 0;
    size_t comma = read.find(',');
    if (comma != std::string::npos) {
        *outline = comma > 0 && read[0] == '1';
        size_t end = read.find(',', comma + 1);
        std::string second = read.substr(comma + 1, end == std::string::npos ? end : end - comma - 1);
        text = second.substr(0, 61);
    }
    read = text.substr(0, 254);
    if (!read.empty() && read[0] == '*') {
        *right = 1;
        text = read.substr(1);
    }
    *shown = text;
}

// strtol as the C library defines it, for 32-bit long: blanks, a sign,
// digits; out-of-range values stick at the limits.
long Decimal(const char *p)
{
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        p++;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        p++;
    long long v = 0;
    for (; *p >= '0' && *p <= '9'; p++)
        if (v < 0x100000000LL)
            v = v * 10 + (*p - '0');
    if (negative)
        v = -v;
    if (v > LONG_MAX)
        return LONG_MAX;
    if (v < LONG_MIN)
        return LONG_MIN;
    return (long)v;
}

// The multi-line rules: 298 characters read; "*" drops centring; "~" and a
// number take the string of that id (at most 298 characters).
void MTextModel(const std::string &tmpl, int *centre, std::string *shown)
{
    std::string text = tmpl.substr(0, 298);
    *centre = 1;
    if (!text.empty() && text[0] == '*') {
        *centre = 0;
        text.erase(0, 1);
    }
    if (!text.empty() && text[0] == '~') {
        char buf[299];
        buf[0] = '\0';
        LoadStringA(ghInst, (UINT)Decimal(text.c_str() + 1), buf, sizeof buf);
        text = buf;
    }
    *shown = text;
}

std::string RandomNumber(fuzz::Rng &rng)
{
    static const char *const kIds[] = {"5000", "5001", "5002", "5700", "5800", "6000",
                                       "65531", "65535", "0", "-1", "4294967295",
                                       "99999999999", "-2147483649", "70000"};
    std::string s;
    while (rng.OneIn(3))
        s += " \t\n+-"[rng.Below(5)];
    if (rng.OneIn(2))
        s += kIds[rng.Below(sizeof kIds / sizeof kIds[0])];
    else
        for (int n = (int)rng.Below(12); n > 0; n--)
            s += (char)('0' + rng.Below(10));
    if (rng.OneIn(3))
        s += fuzz::RandomText(rng, 6, "x*~ 1");
    return s;
}

std::string RandomTemplate(fuzz::Rng &rng)
{
    std::string s;
    if (rng.OneIn(3))
        s += fuzz::RandomText(rng, 4, "10,") + ",";
    while (rng.OneIn(3))
        s += rng.OneIn(2) ? "*" : "~";
    if (rng.OneIn(3))
        s += "~" + RandomNumber(rng);
    int len = rng.OneIn(10) ? 420 : 70;
    s += fuzz::RandomText(rng, len, "abc ,*~1");
    // A window name that starts with byte 0xFF is a resource ordinal to
    // CreateWindowExA, not a text: no template can hand such a text over.
    if (!s.empty() && (unsigned char)s[0] == 0xFF)
        s[0] = 'y';
    return s;
}

} // namespace

TEST(Fuzz, TextControlsWithRandomTexts)
{
    ctltest::Framework up;
    HWND page = ctltest::CreatePlainParent(400, 200, (HBRUSH)GetStockObject(GRAY_BRUSH));
    ASSERT_TRUE(page);
    fuzz::Guarded mem(1024);
    ASSERT_TRUE(mem.ok());
    fuzz::Rng rng(fuzz::kSeed);
    fuzz::FaultReporter report("text controls");
    const long kInputs = fuzz::Loops(20000);
    long failures = 0, painted = 0;

    for (long i = 0; i < kInputs; i++) {
        std::string tmpl = RandomTemplate(rng);
        report.Current(&tmpl);
        bool multi = (i & 1) != 0;
        HWND w = ctltest::AddControl(page, multi ? "VelloxMText" : "VelloxText", tmpl.c_str(),
                                     100, 0, 0, 380, multi ? 160 : 24);
        bool ok = w != NULL;
        if (ok && !multi) {
            int outline, right;
            std::string shown;
            TextModel(tmpl, &outline, &right, &shown);
            MyTextCtl *ctl = static_cast<MyTextCtl *>(MyControlMgr::GetWindowObject(w));
            ok = ctl && ctl->fOutline == outline && ctl->fRightAlign == right &&
                 WindowText(w) == shown;
        } else if (ok) {
            int centre;
            std::string shown;
            MTextModel(tmpl, &centre, &shown);
            MyMTextCtl *ctl = static_cast<MyMTextCtl *>(MyControlMgr::GetWindowObject(w));
            ok = ctl && ctl->fCentre == centre && WindowText(w) == shown;

            // Later texts are kept as given, cut to 299 characters.
            std::string later = fuzz::RandomText(rng, rng.OneIn(4) ? 600 : 40, "*~ab");
            report.Current(&later);
            ok = ok && SendMessageA(w, WM_SETTEXT, 0, (LPARAM)later.c_str()) == 1;
            std::string kept = later.substr(0, 299);
            ok = ok && WindowText(w) == kept;
            // A reader's buffer of any size, ending at the guard.
            int size = (int)rng.Below(320);
            char *buf = (char *)mem.Tail((size_t)size);
            LRESULT got = SendMessageA(w, WM_GETTEXT, (WPARAM)size, (LPARAM)buf);
            size_t want = size > 0 ? (kept.size() < (size_t)size - 1 ? kept.size() : size - 1) : 0;
            ok = ok && got == (LRESULT)want;
            if (size > 0)
                ok = ok && memcmp(buf, kept.c_str(), want) == 0 && buf[want] == '\0';
        }
        if (ok && i % 50 == 0) {
            InvalidateRect(w, NULL, TRUE);
            UpdateWindow(w);
            painted++;
        }
        if (!ok && ++failures <= 5)
            ADD_FAILURE() << (multi ? "multi-line" : "single-line") << " control with ["
                          << tmpl << "]";
        if (w)
            DestroyWindow(w);
    }
    // A sheet of random controls for a person to look at: every control
    // keeps to its rectangle, whose corner shows the light grey background
    // (outlined texts draw over the page instead).
    HWND sheet = ctltest::CreatePlainParent(800, 600, (HBRUSH)GetStockObject(GRAY_BRUSH), 0, 0);
    ASSERT_TRUE(sheet);
    for (int k = 0; k < 24; k++) {
        std::string tmpl = RandomTemplate(rng);
        bool multi = k % 3 == 2;
        ctltest::AddControl(sheet, multi ? "VelloxMText" : "VelloxText", tmpl.c_str(), 200 + k,
                            (k % 3) * 265, (k / 3) * 74, 260, multi ? 70 : 24);
    }
    ctltest::ShowAndPaint(sheet);
    wintest::Pixels shot;
    ASSERT_TRUE(wintest::CaptureWindow(sheet, shot));
    wintest::SavePng(shot, ctltest::ScreenshotPath("fuzz_text_controls.png").c_str());
    for (int k = 0; k < 24; k++) {
        HWND w = GetDlgItem(sheet, 200 + k);
        MyTextCtl *text = k % 3 == 2 ? NULL
                                     : static_cast<MyTextCtl *>(MyControlMgr::GetWindowObject(w));
        COLORREF want = text && text->fOutline ? RGB(128, 128, 128) : RGB(192, 192, 192);
        EXPECT_EQ(want, shot.Color((k % 3) * 265 + 259, (k / 3) * 74)) << "control " << k;
    }
    DestroyWindow(sheet);
    DestroyWindow(page);
    fuzz::Report("text+mtext controls", kInputs, failures);
    printf("fuzz: %ld of the controls painted\n", painted);
    EXPECT_EQ(0, failures);
}

// The multi-line text control: template syntax, string resources, its own
// text buffer behind WM_SETTEXT and WM_GETTEXT, wrapped drawing.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>

#include "controls/control_class.h"
#include "controls/control_mgr.h"
#include "controls/mtext_ctl.h"
#include "tests/support/ctl_page.h"
#include "tests/support/win_test.h"

// Array allocations without exceptions fail while gFailArrayNews counts
// down, as when memory has run out; all others are the library's.
static int gFailArrayNews = 0;
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
    if (gFailArrayNews > 0) {
        gFailArrayNews--;
        return nullptr;
    }
    try {
        return ::operator new[](size);
    } catch (...) {
        return nullptr;
    }
}

namespace {

const COLORREF kGrey = RGB(192, 192, 192);

MyMTextCtl *MTextOf(HWND w)
{
    return static_cast<MyMTextCtl *>(MyControlMgr::GetWindowObject(w));
}

std::string Letters(int n)
{
    std::string s;
    for (int i = 0; i < n; i++)
        s += (char)('a' + i % 26);
    return s;
}

const char kEnvironment[] =
    "Setup has found the environment of your computer and will install the plug-ins there.";

// Rows and columns holding ink (anything but the grey background).
struct Ink {
    int left = 100000, right = -1, top = 100000, bottom = -1, count = 0;
};
Ink InkOf(HWND w)
{
    wintest::Pixels p;
    wintest::CaptureWindow(w, p);
    Ink ink;
    for (int y = 0; y < p.height; y++)
        for (int x = 0; x < p.width; x++)
            if (p.Color(x, y) != kGrey) {
                ink.count++;
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

} // namespace

TEST(MTextControl, TemplateTextAndStringResources)
{
    ctltest::Framework up;
    ctltest::StringModule strings;
    strings.Add(5800, kEnvironment);
    strings.Add(5700, "Where are your plug-ins?");
    strings.Add(5000, std::string(400, 'w'));
    HINSTANCE module = strings.Load();
    ASSERT_TRUE(module);
    MyMText->hResInstance = module;

    HWND page = ctltest::CreatePlainParent(400, 300, (HBRUSH)GetStockObject(GRAY_BRUSH));
    const struct {
        std::string text;
        int centre;
        std::string shown;
    } rows[] = {
        {"~5800", 1, kEnvironment},
        {"*~5800", 0, kEnvironment},
        {"~ 5700x", 1, "Where are your plug-ins?"},
        {"~+5700", 1, "Where are your plug-ins?"},
        {"text", 1, "text"},
        {"*The Vellox has been installed.", 0, "The Vellox has been installed."},
        {"**x", 0, "*x"},
        {"~0", 1, ""},
        {"~x", 1, ""},
        {"~4711", 1, ""},
        {"~*5800", 1, ""},   // the "*" after "~" is no alignment mark
        {"", 1, ""},
        {"*", 0, ""},
        // 298 characters are read; strings are loaded with the same limit.
        {Letters(400), 1, Letters(298)},
        {"*" + Letters(400), 0, Letters(297)},
        {"~5000", 1, std::string(298, 'w')},
    };
    int id = 1;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text.substr(0, 30));
        HWND w = ctltest::AddControl(page, "VelloxMText", row.text.c_str(), id++, 0, 0, 200, 60);
        ASSERT_TRUE(w);
        MyMTextCtl *m = MTextOf(w);
        ASSERT_TRUE(m);
        ASSERT_TRUE(m->pText);
        EXPECT_EQ(row.centre, m->fCentre);
        EXPECT_EQ(0, m->fCreating);
        EXPECT_EQ(row.shown, std::string(m->pText));
        // The window text is the text of creation.
        char buf[400];
        GetWindowTextA(w, buf, sizeof buf);
        EXPECT_EQ(row.shown, std::string(buf));
    }
    DestroyWindow(page);
    MyMText->hResInstance = NULL;
}

TEST(MTextControl, SetTextAndGetTextWorkOnTheControlsOwnBuffer)
{
    ctltest::Framework up;
    HWND page = ctltest::CreatePlainParent(400, 300, (HBRUSH)GetStockObject(GRAY_BRUSH));
    HWND w = ctltest::AddControl(page, "VelloxMText", "*first", 101, 0, 0, 200, 60);
    ASSERT_TRUE(w);
    MyMTextCtl *m = MTextOf(w);

    EXPECT_EQ(1, SendMessageA(w, WM_SETTEXT, 0, (LPARAM) "Cannot find \"%s\""));
    EXPECT_STREQ("Cannot find \"%s\"", m->pText);
    EXPECT_EQ(0, m->fCentre);   // alignment stays
    // A buffer sized by the text length takes the whole of the new text.
    const int length = GetWindowTextLengthA(w);
    EXPECT_EQ(16, length);
    std::string sized(length + 1, '#');
    EXPECT_EQ(16, GetWindowTextA(w, &sized[0], length + 1));
    EXPECT_STREQ("Cannot find \"%s\"", sized.c_str());

    char buf[80];
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(16, SendMessageA(w, WM_GETTEXT, 64, (LPARAM)buf));
    EXPECT_STREQ("Cannot find \"%s\"", buf);
    EXPECT_EQ('#', buf[17]);
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(0, SendMessageA(w, WM_GETTEXT, 1, (LPARAM)buf));
    EXPECT_EQ('\0', buf[0]);
    EXPECT_EQ('#', buf[1]);
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(0, SendMessageA(w, WM_GETTEXT, 0, (LPARAM)buf));
    EXPECT_EQ('#', buf[0]);
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(5, SendMessageA(w, WM_GETTEXT, 6, (LPARAM)buf));
    EXPECT_STREQ("Canno", buf);
    EXPECT_EQ('#', buf[6]);

    // Texts after creation are taken as they are, cut to 299 characters.
    SendMessageA(w, WM_SETTEXT, 0, (LPARAM) "*~5800");
    EXPECT_STREQ("*~5800", m->pText);
    const std::string longText = Letters(400);
    EXPECT_EQ(1, SendMessageA(w, WM_SETTEXT, 0, (LPARAM)longText.c_str()));
    EXPECT_EQ(299u, strlen(m->pText));
    EXPECT_EQ(0, memcmp(m->pText, longText.data(), 299));
    char big[400];
    memset(big, '#', sizeof big);
    EXPECT_EQ(299, SendMessageA(w, WM_GETTEXT, sizeof big, (LPARAM)big));
    EXPECT_EQ(longText.substr(0, 299), std::string(big));
    memset(big, '#', sizeof big);
    EXPECT_EQ(63, SendMessageA(w, WM_GETTEXT, 64, (LPARAM)big));
    EXPECT_EQ(longText.substr(0, 63), std::string(big));
    for (int i = 64; i < (int)sizeof big; i++)
        ASSERT_EQ('#', big[i]) << i;
    EXPECT_EQ(1, SendMessageA(w, WM_SETTEXT, 0, 0));   // no text: empty
    EXPECT_STREQ("", m->pText);
    DestroyWindow(page);
}

TEST(MTextControl, DrawsWrappedCentredOrLeftAlignedText)
{
    ctltest::Framework up;
    HWND page = ctltest::CreatePlainParent(700, 300, (HBRUSH)GetStockObject(GRAY_BRUSH));
    const std::string para = std::string("*") + kEnvironment;
    HWND left = ctltest::AddControl(page, "VelloxMText", para.c_str(), 1, 10, 10, 120, 120);
    HWND centred = ctltest::AddControl(page, "VelloxMText", kEnvironment, 2, 250, 10, 120, 120);
    HWND one = ctltest::AddControl(page, "VelloxMText", "text", 3, 500, 10, 150, 60);
    ctltest::ShowAndPaint(page);
    wintest::SaveWindowPng(page, ctltest::ScreenshotPath("mtext_controls.png").c_str());

    Ink li = InkOf(left), ci = InkOf(centred), oi = InkOf(one);
    ASSERT_GT(li.count, 50);
    EXPECT_EQ(li.count, ci.count);       // the same words, placed differently
    EXPECT_LE(li.left, 1);
    EXPECT_GT(ci.left, li.left);
    EXPECT_LE(li.top, 3);                // lines start at the top
    EXPECT_GT(li.bottom - li.top, 25);   // three lines or more
    EXPECT_LT(li.right, 120);
    // One word, centred at the top.
    EXPECT_NEAR(75, (oi.left + oi.right) / 2, 3);
    EXPECT_LE(oi.top, 3);

    // WM_SETTEXT is on the screen when it returns.
    SendMessageA(one, WM_SETTEXT, 0, (LPARAM) "a much longer line of text");
    EXPECT_FALSE(GetUpdateRect(one, NULL, FALSE));   // painted before returning
    ctltest::Settle();
    Ink after = InkOf(one);
    EXPECT_GT(after.count, oi.count);
    EXPECT_LT(after.left, oi.left);
    DestroyWindow(page);
}

TEST(MTextControl, WithoutMemoryAtCreationALaterSetTextTriesAgain)
{
    ctltest::Framework up;
    HWND page = ctltest::CreatePlainParent(400, 300, (HBRUSH)GetStockObject(GRAY_BRUSH));
    gFailArrayNews = 1;
    HWND w = ctltest::AddControl(page, "VelloxMText", "first", 1, 0, 0, 200, 60);
    const int leftOver = gFailArrayNews;
    gFailArrayNews = 0;
    ASSERT_TRUE(w);
    EXPECT_EQ(0, leftOver);   // the text buffer was refused
    MyMTextCtl *m = MTextOf(w);
    ASSERT_TRUE(m);
    EXPECT_EQ(NULL, m->pText);
    EXPECT_EQ(0, m->fCreating);
    // Until then the window's own text answers.
    EXPECT_EQ(5, GetWindowTextLengthA(w));

    EXPECT_EQ(1, SendMessageA(w, WM_SETTEXT, 0, (LPARAM) "second try"));
    ASSERT_TRUE(m->pText);
    EXPECT_STREQ("second try", m->pText);
    char buf[32];
    EXPECT_EQ(10, GetWindowTextA(w, buf, sizeof buf));
    EXPECT_STREQ("second try", buf);
    EXPECT_EQ(10, GetWindowTextLengthA(w));
    DestroyWindow(page);
}

// The nine page templates, read back from the compiled module: the
// template bytes field by field, and real dialogs made from them with
// stand-in window classes.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/globals.h"
#include "dlg_template.h"
#include "resources/resource_ids.h"

namespace {

const unsigned long PAGE = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
const unsigned long PAGE_NOCLOSE = PAGE & ~(unsigned long)WS_SYSMENU;
const unsigned long PLAIN = WS_CHILD | WS_VISIBLE;
const unsigned long DISABLED = WS_CHILD | WS_VISIBLE | WS_DISABLED;
const unsigned long TAB = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
const unsigned long DEFAULT = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
const unsigned long EDIT = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
const unsigned long CHECK = TAB | BS_AUTOCHECKBOX;   // read as a check box
const unsigned long G = WS_GROUP;                    // an arrow-key group begins

struct Ctl {
    const char *cls;
    unsigned id;
    const char *text;
    int x, y, cx, cy;
    unsigned long style;
};

struct Page {
    const char *name;   // as the program asks for it
    const char *caption;
    int x, y, cx, cy;
    unsigned long style;
    std::vector<Ctl> controls;
};

const std::vector<Page> &Pages()
{
    static const std::vector<Page> pages = {
        {"Welcome", "Welcome!", 62, 65, 219, 121, PAGE, {
            {"VelloxTexDlg", 65535, "qzswirl", 292, 96, 40, 20, PLAIN | G},
            {"VelloxFrame", 65535, "", 5, 2, 157, 117, DISABLED},
            {"Button", IDOK, "Continue", 165, 2, 50, 14, DEFAULT | G},
            {"Button", IDCANCEL, "Exit", 165, 20, 50, 14, TAB},
            {"VelloxMyButt", 65535, "Alert", 10, 8, 43, 54, PLAIN | G},
            {"VelloxMText", 65535, "*~5000", 58, 7, 101, 39, PLAIN},
            {"VelloxMText", 65535, "*~5001", 58, 50, 101, 28, PLAIN},
            {"VelloxMyButt", 65535, "bullet", 14, 81, 13, 12, PLAIN},
            {"VelloxMText", 65535, "*~5002", 31, 83, 128, 33, PLAIN}}},
        {"Platform", "Platform", 62, 65, 219, 121, PAGE, {
            {"VelloxTexDlg", 65535, "qzswirl", 292, 96, 40, 20, PLAIN | G},
            {"VelloxFrame", 65535, "", 5, 2, 157, 117, DISABLED},
            {"VelloxMyButt", 65535, "Question", 10, 8, 43, 54, PLAIN},
            {"VelloxMText", 65535, "*~5800", 58, 12, 101, 39, PLAIN},
            {"VelloxCheckBox", 2001, " Windows 3.1 or Windows for Workgroups", 13, 66, 145, 15, CHECK | G},
            {"VelloxCheckBox", 2002, " Windows NT 3.5 or Windows NT 3.51", 13, 81, 145, 15, CHECK},
            {"VelloxCheckBox", 2003, " Windows 95", 13, 96, 145, 15, CHECK},
            {"Button", IDOK, "Continue", 165, 2, 50, 14, DEFAULT | G},
            {"Button", IDCANCEL, "Exit", 165, 20, 50, 14, TAB}}},
        {"PlugIn", "Plug-in location...", 43, 54, 235, 116, PAGE, {
            {"VelloxTexDlg", 65535, "qzswirl", 48, 125, 40, 20, PLAIN | G},
            {"VelloxFrame", 65535, "", 2, 2, 176, 112, DISABLED},
            {"VelloxText", 65535, "*&Plug-in directory:", 7, 70, 51, 8, PLAIN},
            {"Edit", 100, "", 60, 68, 115, 12, EDIT | G},
            {"Button", IDOK, "&Continue", 182, 2, 50, 14, DEFAULT | G},
            {"Button", IDCANCEL, "&Exit", 182, 20, 50, 14, TAB},
            {"Button", 101, "&Browse...", 182, 67, 50, 14, TAB},
            {"VelloxMText", 65535, "*~5700", 60, 21, 114, 33, PLAIN | G},
            {"VelloxMyButt", 65535, "Question", 5, 4, 45, 55, PLAIN},
            {"VelloxText", 65535, "*Space required:", 7, 89, 56, 8, PLAIN},
            {"VelloxText", 103, "", 66, 89, 106, 8, PLAIN},
            {"VelloxText", 65535, "*Space free:", 9, 100, 54, 8, PLAIN},
            {"VelloxText", 104, "", 66, 100, 103, 8, PLAIN}}},
        {"Installing", "Installing...", 91, 95, 207, 81, PAGE_NOCLOSE, {
            {"VelloxTexDlg", 65535, "QzSwirl", 141, 101, 40, 20, PLAIN | G},
            {"VelloxFrame", 65535, "", 3, 3, 201, 54, DISABLED},
            {"VelloxShadButt", IDCANCEL, "Cancel", 79, 62, 50, 50, TAB | G},
            {"VelloxText", 65535, "*Copying:", 5, 4, 31, 15, PLAIN | G},
            {"VelloxText", 65535, "*To:", 7, 18, 29, 15, PLAIN},
            {"VelloxGraph", 102, "", 10, 35, 187, 16, PLAIN},
            {"VelloxText", 106, "msvcrt20._ll", 38, 4, 158, 15, PLAIN},
            {"VelloxText", 107, "msvcrt20.dll", 38, 18, 158, 15, PLAIN}}},
        {"Done", "Congratulations...", 62, 67, 198, 63, PAGE, {
            {"VelloxTexDlg", 65535, "qzswirl", 165, 144, 40, 20, PLAIN | G},
            {"VelloxShadButt", IDOK, "OK", 159, 6, 32, 50, TAB | G},
            {"VelloxFrame", 65535, "", 2, 3, 157, 57, DISABLED | G},
            {"VelloxMyButt", 65535, "Alert", 5, 5, 46, 55, PLAIN},
            {"VelloxMText", 65535,
             "*The Vellox has been successfully installed.  Click OK to exit the installation program.",
             53, 7, 102, 47, PLAIN}}},
        {"Restart", "Restart Windows...", 62, 67, 198, 63, PAGE, {
            {"VelloxTexDlg", 65535, "qzswirl", 165, 144, 40, 20, PLAIN | G},
            {"VelloxShadButt", IDOK, "OK", 159, 6, 32, 50, TAB | G},
            {"VelloxFrame", 65535, "", 2, 3, 157, 57, DISABLED | G},
            {"VelloxMyButt", 65535, "Alert", 5, 5, 46, 55, PLAIN},
            {"VelloxMText", 65535,
             "*The Vellox has been installed.  Restart Windows to finish the installation.  Click OK to exit the installation program.",
             53, 7, 102, 47, PLAIN}}},
        {"Failure", "Warning...", 62, 67, 205, 62, PAGE, {
            {"VelloxTexDlg", 65535, "QzSwirl", 37, 114, 128, 19, PLAIN | G},
            {"VelloxShadButt", IDOK, "OK", 166, 3, 30, 50, TAB | G},
            {"VelloxFrame", 65535, "", 2, 3, 161, 56, DISABLED | G},
            {"VelloxMyButt", 65535, "Alert", 5, 4, 46, 55, PLAIN},
            {"VelloxMText", 65535,
             "*The Vellox has not been installed.  Click OK to exit the installation program.",
             55, 14, 104, 42, PLAIN}}},
        {"BadPath", "Bad Path", 61, 45, 205, 63, PAGE, {
            {"VelloxTexDlg", 65535, "QzSwirl", 99, 98, 40, 20, PLAIN | G},
            {"VelloxShadButt", IDOK, "OK", 159, 4, 43, 50, TAB | G},
            {"VelloxFrame", 65535, "", 3, 4, 160, 57, DISABLED | G},
            {"VelloxMText", 101, "Cannot find \"%s\"", 56, 24, 100, 33, PLAIN},
            {"VelloxMyButt", 100, "Alert", 5, 7, 46, 52, PLAIN}}},
        {"Alert", "Alert!", 61, 45, 205, 63, PAGE, {
            {"VelloxTexDlg", 65535, "QzSwirl", 99, 98, 40, 20, PLAIN | G},
            {"VelloxFrame", 65535, "", 3, 4, 160, 57, DISABLED},
            {"VelloxMText", 101, "text", 56, 17, 100, 40, PLAIN},
            {"VelloxMyButt", 100, "Alert", 5, 7, 46, 52, PLAIN},
            {"VelloxShadButt", IDOK, "OK", 159, 4, 43, 50, TAB | G}}},
    };
    return pages;
}

const char *const kCustomClasses[] = {
    "VelloxTexDlg", "VelloxFrame", "VelloxText", "VelloxMText",
    "VelloxMyButt", "VelloxShadButt", "VelloxCheckBox", "VelloxGraph",
};

// Window classes are matched without regard to case (the resource compiler
// stores the names upper-cased).
bool SameClass(const std::string &a, const char *b)
{
    return lstrcmpiA(a.c_str(), b) == 0;
}

TEST(Templates, EveryPageReadsBackAsSpecified)
{
    for (const Page &page : Pages()) {
        SCOPED_TRACE(page.name);
        ResBytes res;
        ASSERT_TRUE(LoadResBytes(page.name, RT_DIALOG, res));
        DlgTemplate t;
        std::string error;
        ASSERT_TRUE(ParseDlgTemplate(res, t, error)) << error;

        EXPECT_EQ(page.style, t.style);
        EXPECT_EQ(0ul, t.exStyle);
        EXPECT_EQ(page.x, t.x);
        EXPECT_EQ(page.y, t.y);
        EXPECT_EQ(page.cx, t.cx);
        EXPECT_EQ(page.cy, t.cy);
        EXPECT_EQ("", t.menu);
        EXPECT_EQ("", t.className);
        EXPECT_EQ(page.caption, t.caption);
        EXPECT_EQ(8u, t.pointSize);
        EXPECT_EQ("MS Sans Serif", t.faceName);

        ASSERT_EQ(page.controls.size(), t.items.size());
        for (size_t i = 0; i < t.items.size(); ++i) {
            const Ctl &want = page.controls[i];
            const DlgItem &got = t.items[i];
            SCOPED_TRACE("control " + std::to_string(i) + " \"" + want.text + "\"");
            EXPECT_TRUE(SameClass(got.className, want.cls)) << got.className;
            EXPECT_EQ(want.id, got.id);
            EXPECT_EQ(want.text, got.text);
            EXPECT_EQ(want.x, got.x);
            EXPECT_EQ(want.y, got.y);
            EXPECT_EQ(want.cx, got.cx);
            EXPECT_EQ(want.cy, got.cy);
            EXPECT_EQ(want.style, got.style) << std::hex << got.style;
            EXPECT_EQ(0ul, got.exStyle);
            EXPECT_EQ(0u, got.extraBytes);
        }
        // The texture control comes first on every page, and lies wholly
        // outside the page.
        ASSERT_FALSE(t.items.empty());
        EXPECT_TRUE(SameClass(t.items[0].className, "VelloxTexDlg"));
        const DlgItem &tex = t.items[0];
        EXPECT_TRUE(tex.x >= t.cx || tex.y >= t.cy || tex.x + tex.cx <= 0 || tex.y + tex.cy <= 0);
    }

    // The program asks for the pages in mixed case.
    const char *names[] = {"WELCOME", "welcome", "PLATFORM", "PLUGIN", "plugin", "INSTALLING",
                           "DONE", "FAILURE", "BADPATH", "ALERT", "alert"};
    for (const char *name : names)
        EXPECT_TRUE(FindResourceA(ghInst, name, RT_DIALOG) != NULL) << name;
    EXPECT_TRUE(FindResourceA(ghInst, "NOSUCHPAGE", RT_DIALOG) == NULL);
}

// Stand-ins for the installer's controls: plain windows of the same names.
LRESULT CALLBACK StubWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    return DefWindowProcA(hwnd, msg, wp, lp);
}

INT_PTR CALLBACK StubDlgProc(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG;
}

TEST(Templates, DialogManagerBuildsEveryPage)
{
    for (const char *cls : kCustomClasses) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = StubWndProc;
        wc.hInstance = ghInst;
        wc.lpszClassName = cls;
        ASSERT_NE(0, RegisterClassA(&wc)) << cls;
    }
    for (const Page &page : Pages()) {
        SCOPED_TRACE(page.name);
        HWND dlg = CreateDialogParamA(ghInst, page.name, NULL, StubDlgProc, 0);
        ASSERT_TRUE(dlg != NULL);

        char text[256];
        GetWindowTextA(dlg, text, sizeof text);
        EXPECT_STREQ(page.caption, text);
        LONG_PTR style = GetWindowLongPtrA(dlg, GWL_STYLE);
        EXPECT_EQ(page.style == PAGE, (style & WS_SYSMENU) != 0);

        // The client area is the template's size in dialog units of the
        // template's font.
        RECT want = {0, 0, page.cx, page.cy}, client;
        MapDialogRect(dlg, &want);
        GetClientRect(dlg, &client);
        EXPECT_EQ(want.right, client.right);
        EXPECT_EQ(want.bottom, client.bottom);

        HFONT font = (HFONT)SendMessageA(dlg, WM_GETFONT, 0, 0);
        LOGFONTA lf = {};
        ASSERT_TRUE(font != NULL);
        ASSERT_NE(0, GetObjectA(font, sizeof lf, &lf));
        EXPECT_STREQ("MS Sans Serif", lf.lfFaceName);
        // It is the raster face a Windows system picks for 8 points at 96
        // dpi (the test prefix must provide it): 13-pixel lines, ascent 11,
        // and 4 x 8 dialog units of 6 x 13 pixels.
        HDC dc = GetDC(dlg);
        HGDIOBJ previous = SelectObject(dc, font);
        TEXTMETRICA tm = {};
        EXPECT_TRUE(GetTextMetricsA(dc, &tm));
        SelectObject(dc, previous);
        ReleaseDC(dlg, dc);
        EXPECT_EQ(13, tm.tmHeight);
        EXPECT_EQ(11, tm.tmAscent);
        EXPECT_EQ(5, tm.tmAveCharWidth);
        EXPECT_EQ(0, tm.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE));
        RECT unit = {0, 0, 4, 8};
        MapDialogRect(dlg, &unit);
        EXPECT_EQ(6, unit.right);
        EXPECT_EQ(13, unit.bottom);

        // Children in template order, with their classes, ids and texts.
        size_t i = 0;
        for (HWND child = GetWindow(dlg, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++i) {
            ASSERT_LT(i, page.controls.size());
            const Ctl &want = page.controls[i];
            char cls[64];
            GetClassNameA(child, cls, sizeof cls);
            EXPECT_EQ(0, lstrcmpiA(want.cls, cls)) << cls;
            EXPECT_EQ(want.id, (unsigned)(GetDlgCtrlID(child) & 0xFFFF));
            GetWindowTextA(child, text, sizeof text);
            EXPECT_STREQ(want.text, text);
            LONG_PTR s = GetWindowLongPtrA(child, GWL_STYLE);
            LONG_PTR ex = GetWindowLongPtrA(child, GWL_EXSTYLE);
            unsigned long style = want.style;
            if (lstrcmpiA(want.cls, "Edit") == 0) {
                // An edit control turns its border into a sunken client edge.
                EXPECT_TRUE(ex & WS_EX_CLIENTEDGE);
                style &= ~(unsigned long)WS_BORDER;
            }
            EXPECT_EQ((LONG_PTR)style, s & (LONG_PTR)style) << std::hex << s;
        }
        EXPECT_EQ(page.controls.size(), i);
        DestroyWindow(dlg);
    }
    for (const char *cls : kCustomClasses)
        EXPECT_NE(0, UnregisterClassA(cls, ghInst)) << cls;
}

} // namespace

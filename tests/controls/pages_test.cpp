// The eight pages built from their templates with the real pictures and
// texture: each shows its textured background, and every shadow button
// casts a shadow in the dark variant of exactly the texture the page shows
// around it. Writes a PNG of each page for people to look at.
#include <windows.h>
#include <oleacc.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <string.h>
#include <ostream>
#include <string>

#include "app/globals.h"
#include "controls/control_access.h"
#include "controls/control_class.h"
#include "graphics/dib_tex.h"
#include "graphics/tex_dlg.h"
#include "resources/resource_ids.h"
#include "tests/support/ctl_page.h"
#include "tests/support/gfx_art.h"
#include "tests/support/import_hook.h"
#include "tests/support/win_test.h"

using namespace ctltest;
using namespace gfxtest;
using namespace wintest;

namespace {

struct Page {
    const char *name;
    int shadowButton;      // id of its shadow button, 0 for none
    const char *face;      // that button's picture
};

const Page kPages[] = {
    {"WELCOME", 0, NULL},
    {"PLATFORM", 0, NULL},
    {"PLUGIN", 0, NULL},
    {"INSTALLING", IDCANCEL, "CANCEL"},
    {"DONE", IDOK, "OK"},
    {"RESTART", IDOK, "OK"},
    {"FAILURE", IDOK, "OK"},
    {"BADPATH", IDOK, "OK"},
    {"ALERT", IDOK, "OK"},
};

void PrintTo(const Page &page, std::ostream *os) { *os << page.name; }

// Where the pictures of the pages go: test-output in the build tree.
std::string PicturePath(const std::string &name)
{
    std::string dir = std::string("Z:") + TEST_BINARY_DIR + "/test-output";
    for (char &c : dir)
        if (c == '/')
            c = '\\';
    CreateDirectoryA(dir.c_str(), NULL);
    return dir + "\\" + name;
}

INT_PTR CALLBACK TrivialProc(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

std::string Lower(const char *s)
{
    std::string out(s);
    for (char &c : out)
        c = (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
    return out;
}

// Which pixels of a picture resource are not magenta.
struct Silhouette {
    int w = 0, h = 0;
    std::vector<char> opaque;
    bool At(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < w && y < h && opaque[(size_t)y * w + x];
    }
};

// The picture's pixels, and which are not in the key colour.
bool LoadPicture(const char *name, COLORREF key, Silhouette &s, Pixels *colours = NULL)
{
    HBITMAP bmp = LoadBitmapA(ghInst, name);
    if (!bmp)
        return false;
    BITMAP bm;
    GetObjectA(bmp, sizeof bm, &bm);
    DibCanvas canvas(bm.bmWidth, bm.bmHeight);
    HDC mem = CreateCompatibleDC(canvas.dc());
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(canvas.dc(), 0, 0, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bmp);
    s.w = bm.bmWidth;
    s.h = bm.bmHeight;
    s.opaque.resize((size_t)s.w * s.h);
    for (int y = 0; y < s.h; y++)
        for (int x = 0; x < s.w; x++)
            s.opaque[(size_t)y * s.w + x] = canvas.Get(x, y) != key;
    if (colours)
        *colours = canvas.Snapshot();
    return true;
}

// The page's texture in one variant, laid out as it falls on the window.
bool TextureUnder(HWND page, HWND window, int variant, Pixels &out)
{
    DIBTex *tex = DlgTexture(page);
    RECT rc;
    GetClientRect(window, &rc);
    if (!tex || rc.right <= 0)
        return false;
    POINT offset;
    DIBTex::ControlOffset(window, offset);
    DibCanvas canvas(rc.right, rc.bottom);
    if (!tex->TexMap(canvas.dc(), offset.x, offset.y, rc, variant, SRCCOPY))
        return false;
    out = canvas.Snapshot();
    return true;
}

class PagesTest : public ::testing::TestWithParam<Page> {
protected:
    void SetUp() override
    {
        page = CreateDialogParamA(ghInst, GetParam().name, NULL, TrivialProc, 0);
        ASSERT_TRUE(page != NULL) << GetParam().name;
        SetFocus(NULL);   // no control shows a focus rectangle
        ShowAndPaint(page);
    }
    void TearDown() override
    {
        if (page)
            DestroyWindow(page);
    }

    Framework framework;
    HWND page = NULL;
};

} // namespace

TEST_P(PagesTest, ShowsTheTextureAndCastsTexturedShadows)
{
    const Page &p = GetParam();
    DIBTex *tex = DlgTexture(page);
    ASSERT_TRUE(tex != NULL);
    EXPECT_EQ(128, tex->Width());

    std::string png = PicturePath("page-" + Lower(p.name) + ".png");
    EXPECT_TRUE(SaveWindowPng(page, png.c_str()));

    // The client area's top-left pixel is the normal texture there.
    Pixels normal;
    ASSERT_TRUE(TextureUnder(page, page, TEX_NORMAL, normal));
    EXPECT_EQ(normal.Color(0, 0), ClientColour(page, 0, 0));

    if (!p.shadowButton)
        return;
    HWND button = GetDlgItem(page, p.shadowButton);
    ASSERT_TRUE(button != NULL);
    Silhouette face;
    ASSERT_TRUE(LoadPicture(p.face, kKeyMagenta, face));
    RECT rc;
    GetClientRect(button, &rc);
    ASSERT_EQ(face.w + 8, rc.right);
    ASSERT_EQ(face.h + 8, rc.bottom);

    // Some templates put the button partly past the page's right edge:
    // only what the page shows of it counts.
    RECT pageClient;
    GetClientRect(page, &pageClient);
    POINT corner = {0, 0};
    MapWindowPoints(button, page, &corner, 1);
    auto visible = [&](int x, int y) {
        POINT pt = {corner.x + x, corner.y + y};
        return PtInRect(&pageClient, pt) != 0;
    };

    Pixels shown, light, dark;
    ASSERT_TRUE(CaptureClient(button, shown));
    ASSERT_TRUE(TextureUnder(page, button, TEX_NORMAL, light));
    ASSERT_TRUE(TextureUnder(page, button, TEX_SHADOW, dark));
    int shadowPixels = 0, wrongShadow = 0, wrongBack = 0;
    for (int y = 0; y < rc.bottom; y++)
        for (int x = 0; x < rc.right; x++) {
            if (face.At(x, y) || !visible(x, y))
                continue;
            if (face.At(x - 8, y - 8)) {
                shadowPixels++;
                wrongShadow += shown.At(x, y) != dark.At(x, y);
            } else {
                wrongBack += shown.At(x, y) != light.At(x, y);
            }
        }
    EXPECT_GT(shadowPixels, 30);
    EXPECT_EQ(0, wrongShadow);
    EXPECT_EQ(0, wrongBack);

    // Pressed, the face sits on its shadow; it still floats on the texture.
    SendMessageA(button, BM_SETSTATE, TRUE, 0);
    ASSERT_TRUE(CaptureClient(button, shown));
    int wrongPressed = 0;
    for (int y = 0; y < rc.bottom; y++)
        for (int x = 0; x < rc.right; x++) {
            if (face.At(x - 6, y - 6) || !visible(x, y))
                continue;
            const Pixels &want = face.At(x - 8, y - 8) ? dark : light;
            wrongPressed += shown.At(x, y) != want.At(x, y);
        }
    EXPECT_EQ(0, wrongPressed);
    if (!strcmp(p.name, "ALERT")) {
        Pump(100);
        EXPECT_TRUE(SaveWindowPng(page, PicturePath("shadow-button-pressed.png").c_str()));
    }
}

namespace {

// A palette display as the code under test sees it through this
// executable's imports: GetDeviceCaps says RC_PALETTE and RealizePalette
// reports gMoved entries moved. Tiles drawn from a texture's pixels
// (StretchDIBits) and pictures made (CreateDIBitmap) are counted.
typedef int(WINAPI *CapsFn)(HDC, int);
typedef int(WINAPI *StretchFn)(HDC, int, int, int, int, int, int, int, int, const void *,
                               const BITMAPINFO *, UINT, DWORD);
typedef HBITMAP(WINAPI *DIBitmapFn)(HDC, const BITMAPINFOHEADER *, DWORD, const void *,
                                    const BITMAPINFO *, UINT);
CapsFn gCaps = NULL;
StretchFn gStretch = NULL;
DIBitmapFn gDIBitmap = NULL;
UINT gMoved = 0;
int gTiles = 0, gPictures = 0;

int WINAPI PaletteCaps(HDC dc, int index)
{
    int value = gCaps(dc, index);
    return index == RASTERCAPS ? value | RC_PALETTE : value;
}

UINT WINAPI ReportMoved(HDC) { return gMoved; }

int WINAPI CountTiles(HDC dc, int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                      const void *bits, const BITMAPINFO *info, UINT usage, DWORD rop)
{
    gTiles++;
    return gStretch(dc, x, y, w, h, sx, sy, sw, sh, bits, info, usage, rop);
}

HBITMAP WINAPI CountPictures(HDC dc, const BITMAPINFOHEADER *header, DWORD init,
                             const void *bits, const BITMAPINFO *info, UINT usage)
{
    gPictures++;
    return gDIBitmap(dc, header, init, bits, info, usage);
}

class PaletteDisplay {
public:
    PaletteDisplay()
    {
        gCaps = (CapsFn)caps.original();
        gStretch = (StretchFn)stretch.original();
        gDIBitmap = (DIBitmapFn)dib.original();
    }
    bool ok() const { return caps.ok() && realize.ok() && stretch.ok() && dib.ok(); }

private:
    ImportHook caps{"GetDeviceCaps", (void *)PaletteCaps};
    ImportHook realize{"RealizePalette", (void *)ReportMoved};
    ImportHook stretch{"StretchDIBits", (void *)CountTiles};
    ImportHook dib{"CreateDIBitmap", (void *)CountPictures};
};

bool IsPictureControl(HWND window)
{
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    return !lstrcmpiA(cls, VELLOX_SHADOW_BUTTON_CLASS) || !lstrcmpiA(cls, VELLOX_BUTTON_CLASS) ||
           !lstrcmpiA(cls, VELLOX_CHECKBOX_CLASS);
}

} // namespace

// Texture tiles and pictures are device bitmaps: on a palette display they
// keep the system-palette indices they were made with. When the colours
// move, the page draws its tiles again and its controls load their
// pictures again; the page then looks as it did.
TEST_P(PagesTest, MovedColoursRedrawItsTilesAndReloadItsPictures)
{
    std::vector<HWND> pictures;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsPictureControl(child))
            pictures.push_back(child);
    if (GetParam().shadowButton || !strcmp(GetParam().name, "PLATFORM")) {
        EXPECT_FALSE(pictures.empty());
    }
    std::vector<Pixels> before(pictures.size());
    for (size_t i = 0; i < pictures.size(); i++)
        ASSERT_TRUE(CaptureClient(pictures[i], before[i]));
    Pixels normal;
    ASSERT_TRUE(TextureUnder(page, page, TEX_NORMAL, normal));
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                                 ghInst, NULL);
    ASSERT_TRUE(other != NULL);

    struct Row {
        const char *what;
        UINT message;
        HWND sender;
        UINT moved;        // what the page's own realization reports
        bool redrawn;
    };
    const Row rows[] = {
        {"its own change", WM_PALETTECHANGED, page, 0, false},
        {"activated, nothing moved", WM_QUERYNEWPALETTE, NULL, 0, false},
        {"another window's change", WM_PALETTECHANGED, other, 0, true},
        {"activated, colours moved", WM_QUERYNEWPALETTE, NULL, 9, true},
    };
    {
        PaletteDisplay display;
        ASSERT_TRUE(display.ok());
        for (const Row &row : rows) {
            ValidateRect(page, NULL);
            gMoved = row.moved;
            gTiles = gPictures = 0;
            SendMessageA(page, row.message, (WPARAM)row.sender, 0);
            RECT update;
            EXPECT_EQ(row.redrawn, GetUpdateRect(page, &update, FALSE) != 0) << row.what;
            // The three variants, from the texture's own pixels.
            EXPECT_EQ(row.redrawn ? 3 : 0, gTiles) << row.what;
            // Buttons load again at once, check boxes at their next paint.
            RedrawWindow(page, NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
            EXPECT_EQ(row.redrawn ? (int)pictures.size() : 0, gPictures) << row.what;
        }
    }
    DestroyWindow(other);

    EXPECT_EQ(normal.Color(0, 0), ClientColour(page, 0, 0));
    for (size_t i = 0; i < pictures.size(); i++) {
        Pixels after;
        ASSERT_TRUE(CaptureClient(pictures[i], after));
        ASSERT_EQ(before[i].width, after.width);
        ASSERT_EQ(before[i].height, after.height);
        int differ = 0;
        for (int y = 0; y < after.height; y++)
            for (int x = 0; x < after.width; x++)
                differ += after.At(x, y) != before[i].At(x, y);
        EXPECT_EQ(0, differ) << "picture control " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Templates, PagesTest, ::testing::ValuesIn(kPages),
                         [](const ::testing::TestParamInfo<Page> &info) {
                             return std::string(info.param.name);
                         });

TEST(PlatformPage, ACheckedBoxShowsTheFullMarkOfTheRealStrip)
{
    Framework framework;
    HWND page = CreateDialogParamA(ghInst, "PLATFORM", NULL, TrivialProc, 0);
    ASSERT_TRUE(page != NULL);
    ShowAndPaint(page);
    HWND box = GetDlgItem(page, IDC_WINNT);
    ASSERT_TRUE(box != NULL);
    Pixels before;
    ASSERT_TRUE(CaptureClient(box, before));
    EXPECT_EQ(0, SendMessageA(box, WM_USER, 1, 0));

    Silhouette strip;
    Pixels colours;
    ASSERT_TRUE(LoadPicture("CheckBox", kKeyWhite, strip, &colours));
    ASSERT_EQ(180, strip.w);
    Pixels shown;
    ASSERT_TRUE(CaptureClient(box, shown));
    RECT rc;
    GetClientRect(box, &rc);
    const int top = rc.bottom / 2 - 11, cell = 5 * 30;
    int marked = 0, wrong = 0, untouched = 0;
    for (int y = 0; y < strip.h; y++)
        for (int x = 0; x < 30; x++) {
            int sx = 4 + x, sy = top + y;
            if (sy < 0 || sy >= rc.bottom)
                continue;
            if (strip.At(cell + x, y)) {
                marked++;
                wrong += shown.At(sx, sy) != colours.At(cell + x, y);
            } else {
                untouched += shown.At(sx, sy) != before.At(sx, sy);
            }
        }
    EXPECT_GT(marked, 20);
    EXPECT_EQ(0, wrong);
    EXPECT_EQ(0, untouched);
    EXPECT_TRUE(SavePng(shown, PicturePath("platform-checked-box.png").c_str()));
    DestroyWindow(page);
}

namespace {

// Builds the pages with the picture controls, presses their buttons and
// ticks their boxes, has them load their pictures again as after a
// palette change, and closes them again.
void PageRound()
{
    const char *names[] = {"ALERT", "PLATFORM", "INSTALLING"};
    for (const char *name : names) {
        HWND page = CreateDialogParamA(ghInst, name, NULL, TrivialProc, 0);
        if (!page)
            continue;
        ShowAndPaint(page);
        for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char cls[32];
            GetClassNameA(child, cls, sizeof cls);
            if (!lstrcmpiA(cls, VELLOX_SHADOW_BUTTON_CLASS) || !lstrcmpiA(cls, VELLOX_BUTTON_CLASS)) {
                SendMessageA(child, BM_SETSTATE, TRUE, 0);
                SendMessageA(child, BM_SETSTATE, FALSE, 0);
            } else if (!lstrcmpiA(cls, VELLOX_CHECKBOX_CLASS)) {
                SendMessageA(child, WM_USER, 1, 0);
            }
        }
        {
            PaletteDisplay display;
            SendMessageA(page, WM_PALETTECHANGED, (WPARAM)GetDesktopWindow(), 0);
            RedrawWindow(page, NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
        DestroyWindow(page);
    }
    Pump(20);
}

} // namespace

TEST(PagesLifetime, OpeningAndClosingPagesLeavesNoDrawingObjects)
{
    Framework framework;
    // The first round creates what the system and the control manager
    // keep for the rest of the run (screen DC, shared pens, brush, font).
    PageRound();
    int before = GdiObjectCount();
    ASSERT_GE(before, 0) << "GDI objects cannot be counted here";
    for (int i = 0; i < 3; i++)
        PageRound();
    EXPECT_EQ(before, GdiObjectCount());
}

namespace {

// A control's name as a reader gets it through the system's interface.
std::string ReaderName(HWND window)
{
    IAccessible *object = NULL;
    VARIANT self = {};
    self.vt = VT_I4;   // CHILDID_SELF
    BSTR name = NULL;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_IAccessible, (void **)&object)))
        return "(no object)";
    std::string out;
    if (object->get_accName(self, &name) == S_OK && name)
        for (const WCHAR *c = name; *c; c++)
            out += (char)*c;
    SysFreeString(name);
    object->Release();
    return out;
}

// oleacc.dll as the stand-in of tests/controls/fake_oleacc.c.
HMODULE LoadFakeOleAcc(const char *)
{
    return LoadLibraryA((std::string("Z:") + TEST_BINARY_DIR + "/tests/fake_oleacc.dll").c_str());
}

} // namespace

// Readers hear each control by what it shows, never by an internal name.
// Where the system has the standard classes' proxies, each control that
// acts or informs hands readers the one of the class it acts like, keeping
// no reference; decorations leave the answer to the system.
TEST_P(PagesTest, ReadersHearWhatIsShown)
{
    CoInitialize(NULL);
    static const char *const kInternal[] = {"qzswirl", "frame name", "question", "alert",
                                            "bullet", "okbutton", "cancelbutton", "title"};
    static const struct {
        const char *cls;
        const WCHAR *proxy;
    } kProxies[] = {{VELLOX_SHADOW_BUTTON_CLASS, L"Button"}, {VELLOX_CHECKBOX_CLASS, L"Button"},
                    {VELLOX_TEXT_CLASS, L"Static"}, {VELLOX_MTEXT_CLASS, L"Static"},
                    {VELLOX_GRAPH_CLASS, L"msctls_progress32"}};
    HMODULE fake = LoadFakeOleAcc("oleacc.dll");
    auto calls = (LONG(WINAPI *)(WCHAR *, LONG *))(void *)GetProcAddress(fake, "FakeProxyCalls");
    ASSERT_TRUE(calls != NULL);
    WCHAR asked[64];
    LONG refs = 0;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[32] = "", shown[300] = "";
        GetClassNameA(child, cls, sizeof cls);
        std::string where = std::string(GetParam().name) + " " + cls, stored, name = ReaderName(child);
        DefWindowProcA(child, WM_GETTEXT, sizeof shown, (LPARAM)shown);   // as read from outside
        for (const char *c = shown; *c; c++)
            if (*c != '&')
                stored += *c;
        for (const char *word : kInternal)
            EXPECT_EQ(std::string::npos, Lower(name.c_str()).find(word)) << where << ": " << name;
        const WCHAR *want = NULL;
        for (const auto &p : kProxies)
            want = lstrcmpiA(cls, p.cls) ? want : p.proxy;
        if (want) {
            EXPECT_EQ(stored, name) << where;
        }
        if (!lstrcmpiA(cls, VELLOX_GRAPH_CLASS)) {
            SendMessageA(child, WM_USER + 1, 1, 25);
            EXPECT_EQ("25%", ReaderName(child));
            EXPECT_EQ(25, SendMessageA(child, PBM_GETPOS, 0, 0));
            EXPECT_EQ(100, SendMessageA(child, PBM_GETRANGE, FALSE, 0));
        }
        SetAccessLibraryLoader(LoadFakeOleAcc);
        EXPECT_EQ(0, SendMessageA(child, WM_GETOBJECT, 0, OBJID_WINDOW)) << where;
        EXPECT_EQ(want ? 0x5A5A : 0, SendMessageA(child, WM_GETOBJECT, 0, OBJID_CLIENT)) << where;
        EXPECT_EQ(want ? 1 : 0, calls(asked, &refs)) << where;
        EXPECT_TRUE(!want || (!lstrcmpW(want, asked) && refs == 1)) << where;   // the answer's own
        SetAccessLibraryLoader(NULL);
    }
}

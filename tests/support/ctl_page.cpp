#include "tests/support/ctl_page.h"

#include <cstdlib>
#include <map>

#include "app/globals.h"
#include "controls/control_class.h"
#include "tests/support/win_test.h"

namespace ctltest {

Framework::Framework()
{
    Init_Controls();
}

Framework::~Framework()
{
    Terminate_Controls();
}

std::vector<std::pair<WPARAM, LPARAM> > &Commands()
{
    static std::vector<std::pair<WPARAM, LPARAM> > commands;
    return commands;
}

static INT_PTR CALLBACK RecordingDlgProc(HWND, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND) {
        Commands().push_back(std::make_pair(wParam, lParam));
        return TRUE;
    }
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

// A dialog template without items: header, no menu, default class, title.
struct EmptyTemplate {
    DLGTEMPLATE header;
    WORD menu, windowClass, title[2];
};

HWND CreateTestDialog(int w, int h, int x, int y)
{
    static EmptyTemplate tpl;
    ZeroMemory(&tpl, sizeof tpl);
    tpl.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    tpl.header.cx = 100;
    tpl.header.cy = 50;
    tpl.title[0] = 'T';
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(NULL), &tpl.header, NULL,
                                             RecordingDlgProc, 0);
    if (!dialog)
        return NULL;
    RECT rc = {0, 0, w, h};
    AdjustWindowRectEx(&rc, GetWindowLongA(dialog, GWL_STYLE), FALSE,
                       GetWindowLongA(dialog, GWL_EXSTYLE));
    SetWindowPos(dialog, HWND_TOP, x, y, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOACTIVATE);
    // The frame metrics can differ from AdjustWindowRectEx: correct once.
    RECT client;
    GetClientRect(dialog, &client);
    if (client.right != w || client.bottom != h)
        SetWindowPos(dialog, NULL, 0, 0, rc.right - rc.left + w - client.right,
                     rc.bottom - rc.top + h - client.bottom, SWP_NOMOVE | SWP_NOZORDER);
    return dialog;
}

static LRESULT CALLBACK PlainParentProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND) {
        Commands().push_back(std::make_pair(wParam, lParam));
        return 0;
    }
    if (msg == WM_ERASEBKGND) {
        RECT rc;
        GetClientRect(w, &rc);
        FillRect((HDC)wParam, &rc, (HBRUSH)GetWindowLongPtrA(w, GWLP_USERDATA));
        return 1;
    }
    return DefWindowProcA(w, msg, wParam, lParam);
}

HWND CreatePlainParent(int w, int h, HBRUSH brush, int x, int y)
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = PlainParentProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "CtlPlainParent";
    RegisterClassA(&wc);   // fails harmlessly when registered already
    HWND parent = CreateWindowExA(0, "CtlPlainParent", "", WS_POPUP, x, y, w,
                                  h, NULL, NULL, GetModuleHandleA(NULL), NULL);
    if (parent)
        SetWindowLongPtrA(parent, GWLP_USERDATA, (LONG_PTR)brush);
    return parent;
}

HWND AddControl(HWND parent, const char *className, const char *text, int id, int x, int y,
                int w, int h, DWORD style)
{
    return CreateWindowExA(0, className, text, style, x, y, w, h, parent, (HMENU)(INT_PTR)id,
                           GetModuleHandleA(NULL), NULL);
}

void Settle()
{
    wintest::Pump(80);
}

void ShowAndPaint(HWND window)
{
    ShowWindow(window, SW_SHOWNA);
    RedrawWindow(window, NULL, NULL,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    wintest::Pump(100);
}

std::string ScreenshotPath(const char *name)
{
    const char *build = getenv("TEST_BINARY_DIR");
    if (!build || !*build)
        return wintest::OutputPath(name);
    std::string dir = std::string("Z:") + build + "/test-output";
    for (char &c : dir)
        if (c == '/')
            c = '\\';
    CreateDirectoryA(dir.c_str(), NULL);
    return dir + "\\" + name;
}

COLORREF SunkenBoxPixel(int x, int y, int w, int h, COLORREF inside)
{
    const int r = w - 1, b = h - 1;
    if (x == r || y == b)
        return RGB(255, 255, 255);
    if (x == 0 || y == 0)
        return RGB(128, 128, 128);
    if (x == r - 1 || y == b - 1)
        return RGB(192, 192, 192);
    if (x == 1 || y == 1)
        return RGB(0, 0, 0);
    return inside;
}

StringModule::StringModule() : module_(NULL)
{
}

StringModule::~StringModule()
{
    if (module_)
        FreeLibrary(module_);
    if (!path_.empty())
        DeleteFileA(path_.c_str());
}

void StringModule::Add(UINT id, const std::string &text)
{
    strings_.push_back(std::make_pair(id, text));
}

HINSTANCE StringModule::Load()
{
    if (module_)
        return module_;
    char self[MAX_PATH], dir[MAX_PATH], file[MAX_PATH];
    if (!GetModuleFileNameA(NULL, self, sizeof self) || !GetTempPathA(sizeof dir, dir) ||
        !GetTempFileNameA(dir, "ctl", 0, file))
        return NULL;
    path_ = file;
    if (!CopyFileA(self, file, FALSE))
        return NULL;

    // String tables hold 16 counted UTF-16 strings per block; block n
    // carries the ids 16 * (n - 1) to 16 * n - 1.
    std::map<UINT, std::vector<std::string> > blocks;
    for (const auto &s : strings_) {
        std::vector<std::string> &block = blocks[s.first / 16 + 1];
        block.resize(16);
        block[s.first % 16] = s.second;
    }
    HANDLE update = BeginUpdateResourceA(file, TRUE);
    if (!update)
        return NULL;
    for (const auto &b : blocks) {
        std::vector<WCHAR> data;
        for (const std::string &text : b.second) {
            data.push_back((WCHAR)text.size());
            for (char c : text)
                data.push_back((WCHAR)(unsigned char)c);
        }
        if (!UpdateResourceA(update, (LPCSTR)RT_STRING, MAKEINTRESOURCEA(b.first),
                             MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), data.data(),
                             (DWORD)(data.size() * sizeof(WCHAR)))) {
            EndUpdateResourceA(update, TRUE);
            return NULL;
        }
    }
    if (!EndUpdateResourceA(update, FALSE))
        return NULL;
    module_ = LoadLibraryExA(file, NULL, LOAD_LIBRARY_AS_DATAFILE);
    return module_;
}

} // namespace ctltest

#include <windows.h>
#include <new>

#include "app/main.h"
#include "app/globals.h"
#include "app/install.h"
#include "app/platform.h"
#include "app/syslibs.h"
#include "controls/control_access.h"
#include "controls/control_class.h"
#include "graphics/dib_tex.h"
#include "resources/resource_ids.h"

static const char kClassName[] = "QzSetupWClass";
static const char kTitle[] = "Vellox 2.0 Setup";
static const char kBackTexture[] = "BlueTex";

static DIBTex *gpBackTex = NULL;   // owned: the backdrop texture
static HMETAFILE ghLogo = NULL;    // owned: the logo
static HFONT ghTitleFont = NULL;   // owned: made at the first paint
static UINT guSetupMsg = 0;
static int gfRunning = 0;          // the install sequence is under way

const char *ArgumentText(const char *commandLine)
{
    const char *p = commandLine;
    if (!p)
        return "";
    while (*p == ' ' || *p == '\t')
        p++;
    if (*p == '"') {
        p++;
        while (*p && *p != '"')
            p++;
        if (*p == '"')
            p++;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            p++;
    }
    while (*p == ' ' || *p == '\t')
        p++;
    return p;
}

void ScanSwitches(const char *args)
{
    if (!args)
        return;
    for (const char *p = args; *p; p++) {
        if (*p != '-' && *p != '/')
            continue;
        char c = p[1];
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
        if (c == 's')
            gfScan = 0;
        else if (c == 'n')
            gfNetworkWin = 1;
        else if (c == 'm')
            gfForceMSVC = 1;
    }
}

int InitApplication(HINSTANCE instance)
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.style = 0;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "Setup");
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc) != 0;
}

// oleacc.dll for the controls' answers to readers. Wine's has no proxies
// of the standard classes (asking for one ends the program): there the
// controls leave readers to the system's own answer, their window texts.
static HMODULE AccessLibrary(const char *name)
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (ntdll && GetProcAddress(ntdll, "wine_get_version"))
        return NULL;
    return LoadSystemLibrary(name);
}

int InitInstance(HINSTANCE instance, int show)
{
    ghInst = instance;
    SetControlsInstance(instance);
    // Readers reach the controls through the system's oleacc.dll.
    SetAccessLibraryLoader(AccessLibrary);
    // The backdrop tiles with the normal colours only.
    gpBackTex = new (std::nothrow) DIBTex(instance, kBackTexture, 1 << TEX_NORMAL);
    ghLogo = LoadAPMMetaFile(instance, "OrrinLogo");

    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    if (Platform() == PLATFORM_WIN95)
        height -= GetSystemMetrics(SM_CYICON);

    HWND window = CreateWindowExA(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, 0, 0, width, height,
                                  NULL, NULL, instance, NULL);
    if (!window)
        return 0;
    ShowWindow(window, show);
    UpdateWindow(window);
    return 1;
}

int InstallRunning()
{
    return gfRunning;
}

static void RunSequence(HWND window)
{
    // A second setup message while the sequence runs would start it again
    // inside itself; it is dropped.
    if (gfRunning)
        return;
    gfRunning = 1;
    Install(window);
    gfRunning = 0;
    PostMessageA(window, WM_CLOSE, 0, 0);
}

static void OnCreate(HWND window)
{
    SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_WAIT));
    Init_Controls();
    PostMessageA(window, SetupMsg(), 0, 0);
    SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_ARROW));
}

static void OnDestroy()
{
    delete gpBackTex;
    gpBackTex = NULL;
    if (ghLogo)
        DeleteMetaFile(ghLogo);
    ghLogo = NULL;
    if (ghTitleFont)
        DeleteObject(ghTitleFont);
    ghTitleFont = NULL;
    Terminate_Controls();
    PostQuitMessage(0);
}

// Realizes the backdrop's palette, selected into dc. The backdrop's tiles
// are device bitmaps: on a palette display they hold system-palette
// indices, so when the realization moved the backdrop's colours they are
// drawn again against the palette as it now is. The number of entries that
// moved, or -1 when the display works without a palette (nothing is
// realized) or the realization failed.
static int RealizeBackdrop(HDC dc)
{
    if (!(GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE))
        return -1;
    int changed = (int)RealizePalette(dc);   // GDI_ERROR is -1
    if (changed > 0 && gpBackTex)
        gpBackTex->Refresh(ghInst, kBackTexture);
    return changed;
}

// Realizes the backdrop's palette through a context of the window, as
// RealizeBackdrop; -1 also when there is no palette.
static int RealizeBackPalette(HWND window)
{
    HPALETTE palette = gpBackTex ? gpBackTex->Palette() : NULL;
    HDC dc = palette ? GetDC(window) : NULL;
    if (!dc)
        return -1;
    HPALETTE old = SelectPalette(dc, palette, FALSE);
    int changed = RealizeBackdrop(dc);
    SelectPalette(dc, old, FALSE);
    ReleaseDC(window, dc);
    return changed;
}

// The backdrop and every page of ours on screen are painted again: the
// INSTALLING page, the modal page and the one on top (an alert over
// INSTALLING), but not the window whose realization caused the change: it
// has its colours already.
static void RepaintWithPages(HWND window, HWND sender)
{
    InvalidateRect(window, NULL, FALSE);
    HWND pages[3] = {ghStatus, ghPage, GetLastActivePopup(window)};
    for (int i = 0; i < 3; i++)
        if (pages[i] && pages[i] != window && pages[i] != sender)
            RedrawWindow(pages[i], NULL, NULL,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

static void OnPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (dc)
        Paint(window, dc);
    EndPaint(window, &ps);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == SetupMsg())
        RunSequence(window);

    switch (msg) {
    case WM_CREATE:  OnCreate(window); break;
    case WM_DESTROY: OnDestroy(); break;
    case WM_SIZE:    InvalidateRect(window, NULL, FALSE); break;
    case WM_PAINT:   OnPaint(window); break;
    case WM_QUERYNEWPALETTE:
        // Coming to the front: the backdrop's colours take the system palette.
        // With nothing to realize the answer is FALSE, so the system tells no
        // other window that the palette is changing.
        switch (RealizeBackPalette(window)) {
        case -1: return FALSE;
        case 0:  return TRUE;
        default: RepaintWithPages(window, NULL); return TRUE;
        }
    case WM_PALETTECHANGED:
        // Another window changed the system palette: the backdrop maps its
        // colours afresh. Its own realization needs nothing more.
        if ((HWND)wParam != window) {
            RealizeBackPalette(window);
            RepaintWithPages(window, (HWND)wParam);
        }
        return 0;
    case WM_CLOSE:
        // The pages and the copy loop still use this window, its texture and
        // the control classes: closing waits until the sequence has ended.
        if (gfRunning)
            return 0;
        break;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

static void PaintLogo(HDC dc, int width, int height)
{
    int mx = width / 20, my = height / 20;
    int saved = SaveDC(dc);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetViewportExtEx(dc, width - 2 * mx, height - 2 * my, NULL);
    SetViewportOrgEx(dc, mx, my, NULL);
    PlayMetaFile(dc, ghLogo);
    RestoreDC(dc, saved);
}

static void PaintTitle(HDC dc)
{
    char title[255];
    int len = LoadStringA(ghInst, IDS_TITLE, title, sizeof title);
    if (len <= 0)
        return;
    HGDIOBJ oldFont = SelectObject(dc, ghTitleFont);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, RGB(0, 0, 0));
    TextOutA(dc, 7, 7, title, len);
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutA(dc, 5, 5, title, len);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

void Paint(HWND window, HDC dc)
{
    if (IsIconic(window))
        return;
    RECT rc;
    GetClientRect(window, &rc);
    int width = rc.right - rc.left, height = rc.bottom - rc.top;

    HPALETTE oldPalette = NULL;
    if (gpBackTex && gpBackTex->Palette()) {
        oldPalette = SelectPalette(dc, gpBackTex->Palette(), FALSE);
        RealizeBackdrop(dc);
    }
    if (gpBackTex)
        gpBackTex->TexMap(dc, 0, 0, rc, TEX_NORMAL, SRCCOPY);
    if (ghLogo)
        PaintLogo(dc, width, height);
    if (!ghTitleFont)
        ghTitleFont = MakeFont(width / 40);
    if (ghTitleFont)
        PaintTitle(dc);
    if (oldPalette)
        SelectPalette(dc, oldPalette, FALSE);
}

UINT SetupMsg()
{
    if (!guSetupMsg)
        guSetupMsg = RegisterWindowMessageA("QzSetup");
    return guSetupMsg;
}

int ModelessDlgMessage(HWND dialog, MSG *msg)
{
    if (dialog && IsWindow(dialog) && IsDialogMessageA(dialog, msg))
        return 1;
    return 0;
}

// Offsets in a placeable metafile resource.
enum { APM_HEADER = 22, META_HEADER = 18, META_SIZE_OFFSET = APM_HEADER + 6 };

HMETAFILE LoadAPMMetaFile(HINSTANCE instance, LPCSTR name)
{
    HRSRC info = FindResourceA(instance, name, "METAFILE");
    if (!info)
        return NULL;
    HGLOBAL res = LoadResource(instance, info);
    if (!res)
        return NULL;
    DWORD resSize = SizeofResource(instance, info);
    const BYTE *data = (const BYTE *)LockResource(res);
    if (!data || resSize < APM_HEADER + META_HEADER) {
        FreeResource(res);
        return NULL;
    }
    DWORD words = data[META_SIZE_OFFSET] | (data[META_SIZE_OFFSET + 1] << 8) |
                  ((DWORD)data[META_SIZE_OFFSET + 2] << 16) |
                  ((DWORD)data[META_SIZE_OFFSET + 3] << 24);
    // A size beyond the resource would read past its end: refuse it.
    if (words > (resSize - APM_HEADER) / 2 || words < META_HEADER / 2) {
        FreeResource(res);
        return NULL;
    }
    // The metafile is made straight from the resource's bytes: it copies
    // them itself.
    HMETAFILE meta = SetMetaFileBitsEx(words * 2, data + APM_HEADER);
    FreeResource(res);
    return meta;
}

HFONT MakeFont(int height)
{
    LOGFONTA lf;
    ZeroMemory(&lf, sizeof lf);
    lf.lfHeight = -height;
    lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

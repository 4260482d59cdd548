#include <windows.h>

#include "app/platform.h"
#include "app/dialogs.h"
#include "resources/resource_ids.h"

// Check box messages: set the state (returns the previous one), get it.
enum { CHECK_SETSTATE = WM_USER, CHECK_GETSTATE = WM_USER + 1 };

static DWORD *gpPlatform = NULL;   // the caller's variable while the page runs

DWORD Platform()
{
    // GetVersion, which every Win32 platform has: the top bit is clear on
    // NT; elsewhere major version 4 or later is Windows 95, below it the
    // Win32s of Windows 3.1.
    DWORD version = GetVersion();
    if (!(version & 0x80000000))
        return PLATFORM_WINNT;
    return LOBYTE(LOWORD(version)) >= 4 ? PLATFORM_WIN95 : PLATFORM_WIN31;
}

static void SetBox(HWND page, int id, int wanted)
{
    HWND box = GetDlgItem(page, id);
    int state = SendMessageA(box, CHECK_GETSTATE, 0, 0) != 0;
    if (state != wanted)
        SendMessageA(box, CHECK_SETSTATE, wanted, 0);
}

void CheckPlatform(HWND page, DWORD platform)
{
    SetBox(page, IDC_WIN95, platform == PLATFORM_WIN95);
    SetBox(page, IDC_WINNT, platform == PLATFORM_WINNT);
    SetBox(page, IDC_WIN31, platform == PLATFORM_WIN31);
}

DWORD GetPlatform(HWND page)
{
    if (SendDlgItemMessageA(page, IDC_WIN95, CHECK_GETSTATE, 0, 0))
        return PLATFORM_WIN95;
    if (SendDlgItemMessageA(page, IDC_WINNT, CHECK_GETSTATE, 0, 0))
        return PLATFORM_WINNT;
    return PLATFORM_WIN31;
}

static DWORD BoxPlatform(int id)
{
    switch (id) {
    case IDC_WIN31: return PLATFORM_WIN31;
    case IDC_WINNT: return PLATFORM_WINNT;
    case IDC_WIN95: return PLATFORM_WIN95;
    }
    return 0;
}

static INT_PTR OnCommand(HWND page, WPARAM wParam)
{
    int id = LOWORD(wParam), code = HIWORD(wParam);
    if (BoxPlatform(id)) {
        if (code == 0)
            CheckPlatform(page, BoxPlatform(id));
        return FALSE;
    }
    if (id == IDOK) {
        if (gpPlatform)
            *gpPlatform = GetPlatform(page);
        EndDialog(page, IDOK);
        return TRUE;
    }
    if (id == IDCANCEL) {
        EndDialog(page, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK PlatformDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        gpPlatform = (DWORD *)lParam;
        CheckPlatform(page, gpPlatform ? *gpPlatform : (DWORD)PLATFORM_WIN31);
        CenterDialog(page);
        SetFocus(GetDlgItem(page, IDOK));
        return FALSE;
    case WM_COMMAND:
        return OnCommand(page, wParam);
    }
    return FALSE;
}

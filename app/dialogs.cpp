#include <windows.h>

#include "app/dialogs.h"
#include "app/globals.h"
#include "app/main.h"

void CenterDialog(HWND window)
{
    RECT rc;
    if (!GetWindowRect(window, &rc))
        return;
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    MoveWindow(window, x, y, w, h, FALSE);
}

static DLGPROC gpStartingProc = NULL;   // the procedure of the page being made

// Every page of ShowModalDialog runs through here: its own procedure is
// kept with the page, and the page is ghPage from its WM_INITDIALOG on.
static INT_PTR CALLBACK PageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DLGPROC proc = (DLGPROC)GetWindowLongPtrA(page, DWLP_USER);
    if (!proc) {
        proc = gpStartingProc;
        if (!proc)
            return FALSE;
        SetWindowLongPtrA(page, DWLP_USER, (LONG_PTR)proc);
    }
    if (msg == WM_INITDIALOG)
        ghPage = page;
    return proc(page, msg, wParam, lParam);
}

INT_PTR ShowModalDialog(LPCSTR templateName, DLGPROC proc, HWND owner, LPARAM param)
{
    // Pages may open pages; each gives the screen back to the one below.
    HWND below = ghPage;
    DLGPROC starting = gpStartingProc;
    gpStartingProc = proc;
    INT_PTR result = DialogBoxParamA(ghInst, templateName, owner, PageProc, param);
    gpStartingProc = starting;
    ghPage = below;
    return result;
}

void MyYield()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        // The INSTALLING page's keys work as in any dialog: Escape is
        // Cancel, Tab moves, Enter and the space bar press.
        if (ModelessDlgMessage(ghStatus, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

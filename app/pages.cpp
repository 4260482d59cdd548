#include <windows.h>

#include "app/pages.h"
#include "app/globals.h"
#include "app/dialogs.h"
#include "controls/control_class.h"
#include "resources/resource_ids.h"

enum { ALERT_TEXT_SIZE = 120 };

INT_PTR CALLBACK GenericDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        CenterDialog(page);
        SetFocus(GetDlgItem(page, IDOK));
        return FALSE;
    case WM_COMMAND:
        if (wParam == IDOK || wParam == IDCANCEL) {
            EndDialog(page, wParam);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

INT_PTR CALLBACK AlertDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(page, IDC_MESSAGE, WM_SETTEXT, 0, lParam);
        CenterDialog(page);
        return TRUE;   // the focus goes to OK, where the keyboard shows it
    case WM_CLOSE:
        SendMessageA(page, WM_COMMAND, IDOK, 0);
        return FALSE;
    case WM_COMMAND:
        if (wParam == IDOK || wParam == IDCANCEL) {
            EndDialog(page, wParam);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

INT_PTR ShowAlertStr(const char *text)
{
    Init_Controls();
    // The page on screen owns the alert, not the window with the focus:
    // on Windows 3.1 that may be another program's, which would be
    // disabled while the alert is up.
    HWND owner = ghPage ? ghPage : ghStatus;
    INT_PTR result = DialogBoxParamA(ghInst, "Alert", owner, AlertDlgProc, (LPARAM)text);
    Terminate_Controls();
    return result;
}

INT_PTR ShowAlert(int id)
{
    char text[ALERT_TEXT_SIZE];
    short signedId = (short)id;
    if (LoadStringA(ghInst, (UINT)(WORD)signedId, text, sizeof text) <= 0)
        wsprintfA(text, "Bad error (%d)", (int)signedId);
    return ShowAlertStr(text);
}

// The message pages (WELCOME, DONE, FAILURE) and the ALERT page.
#ifndef SETUP_APP_PAGES_H
#define SETUP_APP_PAGES_H

#include <windows.h>

INT_PTR CALLBACK GenericDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AlertDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);

// Shows text on the ALERT page, owned by the page on screen (ghPage, else
// ghStatus, else none); returns the page's result (1 or 2).
INT_PTR ShowAlertStr(const char *text);

// Shows string resource id (cut to 119 characters) on the ALERT page, or
// "Bad error (id)" when there is no such string.
INT_PTR ShowAlert(int id);

#endif

// Platform detection and the PLATFORM page.
#ifndef SETUP_APP_PLATFORM_H
#define SETUP_APP_PLATFORM_H

#include <windows.h>

// Platform values; file-table masks are unions of them.
enum {
    PLATFORM_WINNT = 2,
    PLATFORM_WIN95 = 4,
    PLATFORM_WIN31 = 8
};

// The platform the system reports (PLATFORM_WIN31 when unknown).
DWORD Platform();

// Makes the box of platform the only checked box on the page.
void CheckPlatform(HWND page, DWORD platform);

// The platform the page's boxes show.
DWORD GetPlatform(HWND page);

// Creation parameter: address of a DWORD holding the detected value;
// Continue stores the confirmed value there.
INT_PTR CALLBACK PlatformDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);

#endif

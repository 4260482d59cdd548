/* comdlg32.dll as Win32s keeps it, in WIN32S below the system directory:
   it marks its loading, and its file dialog, without opening a window,
   marks that it was called and answers with the filter's file in
   C:\PS\Plugins, as a user who picked it there would. */
/* This library defines the calls that windows.h declares as imported. */
#define WINCOMMDLGAPI
#include <windows.h>
#include <commdlg.h>

#include "marker.h"

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved)
{
    (void)self;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
        LeaveMarker("C:\\win32s-comdlg32.txt", "comdlg32.dll from WIN32S was loaded\r\n");
    return TRUE;
}

static const char kPicked[] = "C:\\PS\\Plugins\\zrfilt32.8bf";
enum { PICKED_NAME = 14 }; /* where zrfilt32.8bf starts */

__declspec(dllexport) BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA ofn)
{
    LeaveMarker("C:\\win32s-comdlg32-open.txt", "its GetOpenFileNameA was called\r\n");
    if (!ofn->lpstrFile || ofn->nMaxFile < sizeof kPicked)
        return FALSE;
    lstrcpyA(ofn->lpstrFile, kPicked);
    ofn->nFileOffset = PICKED_NAME;
    ofn->nFileExtension = sizeof kPicked - 1 - 3;
    return TRUE;
}
__declspec(dllexport) DWORD WINAPI CommDlgExtendedError(void) { return 0; }

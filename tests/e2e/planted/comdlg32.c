/* Planted comdlg32.dll: marks its loading; the file dialog never opens. */
/* This library defines the calls that windows.h declares as imported. */
#define WINCOMMDLGAPI
#include <windows.h>

#include "marker.h"

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved)
{
    (void)self;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
        LeaveMarker("C:\\planted-comdlg32.txt", "planted comdlg32.dll was loaded\r\n");
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA ofn)
{
    (void)ofn;
    return FALSE;
}
__declspec(dllexport) DWORD WINAPI CommDlgExtendedError(void) { return 0; }

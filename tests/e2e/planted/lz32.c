/* Planted lz32.dll: marks its loading and fails every call. */
#include <windows.h>

#include "marker.h"

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved)
{
    (void)self;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
        LeaveMarker("C:\\planted-lz32.txt", "planted lz32.dll was loaded\r\n");
    return TRUE;
}

#define LZ_FAILS (-8) /* "unknown algorithm" */

__declspec(dllexport) INT WINAPI LZStart(void) { return LZ_FAILS; }
__declspec(dllexport) void WINAPI LZDone(void) {}
__declspec(dllexport) INT WINAPI LZInit(INT file) { (void)file; return LZ_FAILS; }
__declspec(dllexport) INT WINAPI LZOpenFileA(LPSTR name, LPOFSTRUCT of, WORD mode)
{
    (void)name; (void)of; (void)mode;
    return -1;
}
__declspec(dllexport) LONG WINAPI CopyLZFile(INT from, INT to)
{
    (void)from; (void)to;
    return LZ_FAILS;
}
__declspec(dllexport) void WINAPI LZClose(INT file) { (void)file; }
__declspec(dllexport) INT WINAPI GetExpandedNameA(LPSTR in, LPSTR out)
{
    (void)in; (void)out;
    return -1;
}

/* lz32.dll as Win32s keeps it, in WIN32S below the system directory: it
   marks its loading and passes every call on to the system's own LZ
   functions, so an install through it works. */
#include <windows.h>

#include "marker.h"

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved)
{
    (void)self;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
        LeaveMarker("C:\\win32s-lz32.txt", "lz32.dll from WIN32S was loaded\r\n");
    return TRUE;
}

static FARPROC Kernel(const char *name)
{
    return GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
}

__declspec(dllexport) INT WINAPI LZStart(void)
{
    return ((INT(WINAPI *)(void))Kernel("LZStart"))();
}
__declspec(dllexport) void WINAPI LZDone(void)
{
    ((void(WINAPI *)(void))Kernel("LZDone"))();
}
__declspec(dllexport) INT WINAPI LZInit(INT file)
{
    return ((INT(WINAPI *)(INT))Kernel("LZInit"))(file);
}
__declspec(dllexport) LONG WINAPI CopyLZFile(INT from, INT to)
{
    return ((LONG(WINAPI *)(INT, INT))Kernel("CopyLZFile"))(from, to);
}
__declspec(dllexport) void WINAPI LZClose(INT file)
{
    ((void(WINAPI *)(INT))Kernel("LZClose"))(file);
}

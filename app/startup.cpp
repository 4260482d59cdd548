// The program's entry point. The shipped setup.exe links no C runtime, so
// the loader starts it here: the module handle, the arguments and the way
// the window is to be shown are gathered as a runtime's start-up code
// would, WinMain runs, and its result is the process's exit code.
#include <windows.h>

#include "app/main.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR arguments, int show);

// Entered with a stack only as aligned as the loader leaves it.
extern "C" __attribute__((force_align_arg_pointer)) void WINAPI SetupEntry(void)
{
    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    startup.dwFlags = 0;
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    int result = WinMain(GetModuleHandleA(NULL), NULL, (LPSTR)ArgumentText(GetCommandLineA()), show);
    ExitProcess((UINT)result);
}

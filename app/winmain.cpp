#include <windows.h>

#include "app/fileset.h"
#include "app/globals.h"
#include "app/main.h"
#include "app/syslibs.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int show)
{
    // Before anything else: libraries loaded from now on come from the
    // system directory only, never from the download folder setup.exe
    // was started from.
    RestrictDllSearch();
    // The switches are read from the whole command line with the program
    // name taken off, so a '-' in the program's own path never counts.
    ScanSwitches(ArgumentText(GetCommandLineA()));
    // One installer at a time: a second start shows the first and ends,
    // before it could touch the first one's files.
    if (HWND running = FindWindowA("QzSetupWClass", NULL)) {
        BringWindowToTop(GetLastActivePopup(running));
        return 0;
    }
    // Before the first page: a commit that a crash cut short is made
    // whole, all old or all new, whatever the user does next.
    char stuck[MAX_PATH];
    RecoverCommit(stuck);
    if (!previous && !InitApplication(instance))
        return 0;
    if (!InitInstance(instance, show))
        return 0;

    MSG msg;
    msg.wParam = 0;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (!ModelessDlgMessage(ghStatus, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return (int)msg.wParam;
}

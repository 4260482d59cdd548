// The installer's spine: switches, the main window with its backdrop, and
// the start of the install sequence. The services every page uses are in
// app/dialogs.h.
#ifndef SETUP_APP_MAIN_H
#define SETUP_APP_MAIN_H

#include <windows.h>

// The argument text of a full command line: the program name (a quoted one
// up to its closing quote) and the blanks after it are skipped.
const char *ArgumentText(const char *commandLine);

// Scans the argument text for the switches s, n and m after '-' or '/'
// and sets gfScan, gfNetworkWin and gfForceMSVC. Unknown letters are ignored.
void ScanSwitches(const char *args);

int InitApplication(HINSTANCE instance);
int InitInstance(HINSTANCE instance, int show);
LRESULT CALLBACK MainWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
void Paint(HWND window, HDC dc);

// The registered "QzSetup" message number.
UINT SetupMsg();

// 1 when the modeless dialog consumed the message, else 0.
int ModelessDlgMessage(HWND dialog, MSG *msg);

// A metafile from a placeable-metafile resource of type "METAFILE", or null.
HMETAFILE LoadAPMMetaFile(HINSTANCE instance, LPCSTR name);

// An Arial font whose characters are height pixels tall, or null.
HFONT MakeFont(int height);

// 1 while the install sequence runs inside the main window procedure.
int InstallRunning();

#endif

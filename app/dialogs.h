// The services every page uses: centring it on the screen, running it
// modally as the page on screen, and draining the queue while a long step
// runs. They know nothing of the main window or of the install sequence.
#ifndef SETUP_APP_DIALOGS_H
#define SETUP_APP_DIALOGS_H

#include <windows.h>

void CenterDialog(HWND window);
// Runs a page modally; from its WM_INITDIALOG until it ends it is ghPage,
// which then goes back to the page below (or null).
INT_PTR ShowModalDialog(LPCSTR templateName, DLGPROC proc, HWND owner, LPARAM param);

// Dispatches every message waiting in the queue; those of the modeless
// page (ghStatus) go through its dialog's keyboard handling first.
void MyYield();

#endif

// Program-wide globals of the installer; it includes nothing itself.
// Controls and graphics never include it: the program hands them what they
// need (SetControlsInstance).
#ifndef SETUP_APP_GLOBALS_H
#define SETUP_APP_GLOBALS_H

struct HINSTANCE__;
struct HWND__;

extern struct HINSTANCE__ *ghInst;   // every resource is loaded from here
extern int gfScan;                   // search for the plug-in directory (switch s clears it)
extern int gfNetworkWin;             // system files go to the Windows directory (switch n)
extern int gfForceMSVC;              // replace an existing C runtime whatever its age (switch m)
extern struct HWND__ *ghStatus;      // the modeless INSTALLING page, or null
extern struct HWND__ *ghPage;        // the modal page on screen (ShowModalDialog), or null
extern int gfAbort;                  // set by a failed copy or by Cancel

#endif

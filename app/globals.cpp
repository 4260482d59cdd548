#include <windows.h>
#include "app/globals.h"

HINSTANCE ghInst = NULL;
int gfScan = 1;
int gfNetworkWin = 0;
int gfForceMSVC = 0;
HWND ghStatus = NULL;
HWND ghPage = NULL;
int gfAbort = 0;

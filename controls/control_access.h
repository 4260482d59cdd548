// What screen readers get from a control: the accessibility proxy of the
// standard window class the control acts like, made by the system's
// oleacc.dll where there is one (Windows 95 and Win32s may lack it). The
// proxy asks the control itself (WM_GETTEXT, BM_GETCHECK, the style...).
#ifndef SETUP_CONTROLS_CONTROL_ACCESS_H
#define SETUP_CONTROLS_CONTROL_ACCESS_H

#include <windows.h>

// Loads a system library by name (from the system directory only); the
// program hands its loader over at start, and the library is bound anew
// with the next loader. Without one, or where it gives nothing, readers
// get the system's default answer.
typedef HMODULE (*SystemLibraryLoader)(const char *name);
void SetAccessLibraryLoader(SystemLibraryLoader loader);

// The answer to WM_GETOBJECT for a client object of window: the proxy of
// proxyClass, as LresultFromObject makes it. 0 when there is nothing to
// answer with (no class, another object asked for, no oleacc.dll, a
// failure); the message then takes its default course.
LRESULT StdAccessibleAnswer(HWND window, const WCHAR *proxyClass, WPARAM wParam, LPARAM lParam);

#endif

// The PLUGIN page: where the plug-ins go, with its drive search, free
// space display and Browse dialog; and the BADPATH page.
#ifndef SETUP_APP_PLUGINDIR_H
#define SETUP_APP_PLUGINDIR_H

#include <windows.h>

// Kilobytes the installed files need at the least.
enum { SPACE_REQUIRED_KB = 540 };
// Size of a freespacestr buffer.
enum { SPACE_TEXT_SIZE = 64 };

// Creation parameter: the caller's PATH_SIZE directory buffer.
INT_PTR CALLBACK PathDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK BadPathDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);

// The host's plug-in directory from photos30.ini into dir; 1 when found.
int CheckINI(char *dir);

// Looks for the root-relative subpath on the drives from C: up; 1 and the
// full path in out (PATH_SIZE) when found, else 0 and an empty out.
int testdir(const char *subpath, char *out);

// 1 when path (leading blanks skipped) is a directory that can be entered.
int validdir(const char *path);

// 1 when dir leaves room for a backslash and the longest file name in a
// path buffer, else 0.
int DirectoryFits(const char *dir);

// Free space of a drive (0 current, 1 A: ... 26 Z:) in kilobytes; 0 when
// it cannot be read.
LONGLONG freespace(int drive);

// kb as "x.yyy MB" into out (SPACE_TEXT_SIZE).
void freespacestr(LONGLONG kb, char *out);

// The kilobytes the page shows as required; SPACE_REQUIRED_KB until set.
void SetSpaceRequired(LONGLONG kb);

// With no path shows the space required; else the free space of the
// path's drive, read again only when the drive changes.
void ShowFreeSpace(HWND page, const char *path);

// Runs the Browse dialog; 1 and the chosen directory in dir, 0 when
// cancelled.
int FindDir(HWND page, char *dir);

// One past the highest drive letter present (2 for C:), counted once.
int DriveBound();

#endif

// The install sequence: pages in order, the file table and the copy loop.
#ifndef SETUP_APP_INSTALL_H
#define SETUP_APP_INSTALL_H

#include <windows.h>

#include "app/paths.h"


struct CopyRec {
    const char *pSource;   // compressed file beside the installer
    const char *pTarget;   // name of the installed file
    int fSystem;           // goes to the system (or Windows) directory
    int fCheckNewer;       // copied only over a missing or older target
    DWORD dwPlatforms;     // platforms the record is installed for
};

extern const CopyRec gCopy[];
extern const int gFiles;

// Runs the whole sequence with owner as the owner of every page.
// 1 when every file was handled and nothing was cancelled, else 0.
int Install(HWND owner);

INT_PTR CALLBACK InstallDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);

// Gives a directory path in a PATH_SIZE buffer a trailing backslash and
// lower-cases it. 0 when the backslash did not fit (the path is then only
// lower-cased), else 1.
int PreparePath(char *path);

// dir followed by name into out (PATH_SIZE); 0 and an empty out when it
// does not fit.
int JoinPath(char *out, const char *dir, const char *name);

// Kilobytes that the records of platform take once expanded: the lengths
// in the headers of their packed files in sourceDir (the size of a file
// that is not packed), added up and rounded up, and SPACE_REQUIRED_KB when
// that is more. A file that cannot be read counts 0.
LONGLONG SpaceRequiredKB(DWORD platform, const char *sourceDir);

// The installer's own directory with a trailing backslash, lower case;
// on NT in its short form where the code page cannot spell it or it is
// too long. 0 (and an empty dir) when there is none that fits the buffer.
int SourceDirectory(char *dir);

#endif

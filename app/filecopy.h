// File tests and copying with LZ expansion.
#ifndef SETUP_APP_FILECOPY_H
#define SETUP_APP_FILECOPY_H

#include <windows.h>

// Results of MyLZCopy and ShowLZError; each selects a message.
enum {
    LZ_CANNOT_OPEN = -1,   // "Cannot open "%s""
    LZ_INTERNAL = -3,      // "Internal error (%d)"
    LZ_DISK_FULL = -4,     // "Disk full when copying "%s""
    LZ_NO_MEMORY = -5,     // "Insufficient memory"
    LZ_IN_USE = -16        // ""%s" is in use by another program"; never an LZ code
};

// 1 when the file exists, else 0.
int FileExist(const char *path);

// 1 when the file is missing or can be opened for reading and writing.
int FileWriteable(const char *path);

// 1 when the target is missing or was last written before the source,
// 0 when it is as new or newer, or when either time cannot be read.
int FileNewer(const char *source, const char *target);

// Expands source into target. The target is replaced only by a complete
// copy; on failure it is left as it was. 1 on success, else one of the
// LZ_* codes after the message has been shown.
int MyLZCopy(const char *source, const char *target);

struct FileCheck;
// MyLZCopy that, given a check, also compares the expanded file with it
// (its size and CRC-32) before it replaces anything; a file that differs
// is deleted and reported as a damaged source (LZ_INTERNAL).
int MyLZCopyChecked(const char *source, const char *target, const FileCheck *check);

// Puts the complete file fresh in the place of target, which may exist.
// On NT in one step; on Windows 95 and Win32s, and on NT where a program
// has the target loaded, the old target is renamed aside first and put
// back should the new file not take its place. An old file that cannot be
// deleted then (still loaded) is deleted by NT at the next restart. 1 on
// success; on failure LZ_IN_USE when the target could not be moved (a
// program has it loaded), else LZ_CANNOT_OPEN; target is then as it was
// and fresh is still there.
int ReplaceWith(const char *fresh, const char *target);

// Shows the message for an LZ error code about the named file and returns
// the LZ_* code it was mapped to.
int ShowLZError(int code, const char *name);

// The expanded length recorded in an SZDD file's header. 1 and *length
// when the file starts with the SZDD signature, else 0.
int SZDDLength(const char *path, DWORD *length);

#endif

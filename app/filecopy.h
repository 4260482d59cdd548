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
    LZ_IN_USE = -16,       // ""%s" is in use by another program"; never an LZ code
    LZ_DAMAGED = -17,      // the disk is damaged: "%s" is not as it was made; never an LZ code
    LZ_DENIED = -18        // NT refused the replace for rights; shown as LZ_CANNOT_OPEN
};

// The tag of a file made beside its target that belongs to no record of
// the file table.
enum { TAG_NONE = 0xF };

// 1 when the file exists, else 0.
int FileExist(const char *path);

// 1 when the file is missing or can be opened for reading and writing.
int FileWriteable(const char *path);

// 1 when the target is missing or was last written before the source,
// 0 when it is as new or newer, or when the target's time cannot be read;
// -1 when the source's cannot.
int FileNewer(const char *source, const char *target);

// Expands source into target. The target is replaced only by a complete
// copy; on failure it is left as it was. 1 on success, else one of the
// LZ_* codes after the message has been shown.
int MyLZCopy(const char *source, const char *target);

struct FileCheck;
// MyLZCopy that, given a check, also compares the expanded file with it
// (its size and CRC-32) before it replaces anything; a file that differs
// is deleted and reported as damaged (LZ_DAMAGED).
int MyLZCopyChecked(const char *source, const char *target, const FileCheck *check);

// The first half of a copy: expands source into a new temporary file
// beside target, named in temp (MAX_PATH), and checks it as
// MyLZCopyChecked does. 1 when it is complete and checked; else the file
// is gone, and the code and the name for ShowLZError are returned (the
// name in *failed: source, target or ""), the message not yet shown.
int StageLZCopy(const char *source, const char *target, int tag, const FileCheck *check,
                char *temp, const char **failed);

// Files the installer makes beside a target, in the target's folder, all
// named prefix + the tag's hex digit + three more + ".tmp" (8.3, as every
// file system takes them): "zrs" a new file being expanded, "zro" an old
// one set aside. The tag is the target's record, so that a set-aside file
// tells which target it belongs to. A free name into out (MAX_PATH); 0
// when none is free or the name does not fit. A name that is taken, by
// anyone, is passed over.
int FreeNameBeside(const char *target, const char *prefix, int tag, char *out);

// Puts the complete file fresh in the place of target, which may exist,
// and keeps the old target's bytes under a "zro" name beside it, aside
// (MAX_PATH): the free name given, or one chosen here when aside is empty;
// emptied when there was no target or nothing was moved. On NT where it can, in
// one step after a second name for the old file was made; elsewhere, and
// on NT where a program has the target loaded, by renaming the old target
// aside and fresh into its place. 1 on success. On failure LZ_IN_USE when
// the target could not be moved (a program has it loaded or open), else
// LZ_CANNOT_OPEN; target is then as it was and fresh is still there,
// except where even the old file could not go back: aside then names it,
// and it must be kept.
int ReplaceKeeping(const char *fresh, const char *target, int tag, char *aside);

// Puts the old file kept under aside back in target's place, over the new
// one. 1 when done; 0 when aside is missing (target untouched) or still
// holds the old bytes.
int PutBack(const char *aside, const char *target);

// Deletes a set-aside old file once it is no longer needed (nothing when
// aside is empty). One that is loaded is left to NT's next restart; the
// runtime's (fSystem) on Win32s to the next run.
void DropAside(const char *aside, int fSystem);

// ReplaceKeeping, then DropAside.
int ReplaceWith(const char *fresh, const char *target);

// Shows the message for an LZ error code about the named file and returns
// the LZ_* code it was mapped to.
int ShowLZError(int code, const char *name);

// The expanded length recorded in an SZDD file's header. 1 and *length
// when the file starts with the SZDD signature, else 0.
int SZDDLength(const char *path, DWORD *length);

#endif

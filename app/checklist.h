// The checksum list that release media carry beside setup.exe: for each
// packed file its name, its size after expansion and the CRC-32 of the
// expanded bytes, one line each, and a last line that checks the list:
//
//   msvcrt20._ll      34304 5E0A1C77
//   zrfilt32._bf      15872 0B4D33A0
//   * 2 9A3F0C12
//
// The last line holds the number of entries and the CRC-32 of every byte
// before it, line ends included. Lines end in CR LF. A list whose lines end
// in LF alone is taken only when its check line was made over that form: one
// whose CR LF were turned into LF after it was made (a copy in text mode)
// fails its own check.
#ifndef SETUP_APP_CHECKLIST_H
#define SETUP_APP_CHECKLIST_H

#include <windows.h>

#define CHECK_LIST_NAME "vellox20.crc"

// Longest list taken, and most entries.
enum { CHECK_LIST_MAX_BYTES = 2048, CHECK_LIST_MAX_ENTRIES = 32 };

struct FileCheck {
    char name[13];   // packed file name, 8.3
    DWORD size;      // bytes after expansion
    DWORD crc;       // CRC-32 of those bytes
};

struct CheckList {
    int count;
    FileCheck entries[CHECK_LIST_MAX_ENTRIES];
};

// What LoadCheckList found.
enum { CHECK_LIST_NONE = 0, CHECK_LIST_READ = 1, CHECK_LIST_DAMAGED = -1 };

// Reads CHECK_LIST_NAME from dir (with its trailing backslash). NONE when
// there is no such file or directory; DAMAGED when it cannot be looked at
// or read, is too long, or fails its own check or its form.
int LoadCheckList(const char *dir, CheckList *list);

// Parses the text of a list. 1 when it is whole and well formed and names
// no file twice, else 0.
int ParseCheckList(const char *text, int length, CheckList *list);

// The entry for a packed file name (letters in any case), or null.
const FileCheck *FindCheck(const CheckList *list, const char *name);

// Length and CRC-32 of a file, read in large blocks. 1 on success, 0 when
// it cannot be read, LZ_NO_MEMORY (filecopy.h) when no buffer was had.
int FileCrc32(const char *path, DWORD *size, DWORD *crc);

#endif

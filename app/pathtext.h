// Paths as text in the system's ANSI code page. Where that is double-byte
// (932, 936, 949, 950), the second byte of a character may be a backslash
// or a letter, so paths are walked by character, never by byte. On NT a
// name that the code page cannot spell is reached by its short form.
#ifndef SETUP_APP_PATHTEXT_H
#define SETUP_APP_PATHTEXT_H

#include <windows.h>

// The last backslash of path that is a character of its own; null when
// there is none.
char *LastBackslash(const char *path);

// 1 when the last character of path is a backslash.
int EndsInBackslash(const char *path);

// Cuts path right after its last backslash (empty when it has none).
void KeepDirectory(char *path);

// The short form of the existing file or directory that wide names, in
// the code page, into out (PATH_SIZE); 0 when there is none (NT only),
// out then unchanged, or empty where the short form does not fit. A short
// name is made of characters that the code page has; where the volume
// keeps none, the long name comes back, which the code page spells with
// look-alikes ("L" for "Ł") or "?", so out then names no file.
int ShortAnsiPath(const WCHAR *wide, char *out);

#endif

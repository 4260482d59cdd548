/* A stand-in for a system library, planted beside a program to see
   whether the program loads it. On load it leaves a marker file in the
   root of drive C: whose name says which library was taken. */
#ifndef PLANTED_MARKER_H
#define PLANTED_MARKER_H

#include <windows.h>

static void LeaveMarker(const char *path, const char *text)
{
    HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(f, text, (DWORD)lstrlenA(text), &written, NULL);
        CloseHandle(f);
    }
}

#endif

// Raw bytes of a resource of the test module, as FindResource/LoadResource
// give them, with little-endian readers that never step past the end.
#ifndef TESTS_RESOURCES_RES_BYTES_H
#define TESTS_RESOURCES_RES_BYTES_H

#include <windows.h>
#include <string>

struct ResBytes {
    const unsigned char *data = nullptr;
    DWORD size = 0;

    // Values at byte offsets; 0 when the value would not fit.
    unsigned U8(DWORD at) const { return at < size ? data[at] : 0; }
    unsigned U16(DWORD at) const { return at + 2 <= size ? data[at] | (data[at + 1] << 8) : 0; }
    int S16(DWORD at) const { return (short)U16(at); }
    unsigned long U32(DWORD at) const
    {
        return at + 4 <= size ? (unsigned long)U16(at) | ((unsigned long)U16(at + 2) << 16) : 0;
    }
};

// Finds and locks the resource (type may be an integer resource or a
// name); false when it is missing.
bool LoadResBytes(LPCSTR name, LPCSTR type, ResBytes &out);

// A NUL-terminated UTF-16 string at `at`, narrowed to ASCII ('?' for
// anything else). Sets `next` to the offset after the terminator; returns
// false if the string runs past the end.
bool ReadWideString(const ResBytes &res, DWORD at, std::string &text, DWORD &next);

#endif

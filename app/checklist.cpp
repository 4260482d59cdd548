#include <windows.h>
#include <new>

#include "app/checklist.h"
#include "app/crc32.h"
#include "app/filecopy.h"

// Reading block: large enough that the calls cost nothing beside the CRC,
// small enough to stay in the processor's cache.
enum { CRC_BLOCK = 64 * 1024 };

static int IsBlank(char c) { return c == ' ' || c == '\t'; }
static int IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Skips blanks, then takes the word at *pos (up to a blank, a line end or
// end) into its start and length; moves *pos past it.
static void NextWord(const char *text, int end, int *pos, int *start, int *length)
{
    while (*pos < end && IsBlank(text[*pos]))
        (*pos)++;
    *start = *pos;
    while (*pos < end && !IsBlank(text[*pos]) && !IsLineEnd(text[*pos]))
        (*pos)++;
    *length = *pos - *start;
}

static int Decimal(const char *s, int n, DWORD *value)
{
    if (n < 1 || n > 10)
        return 0;
    DWORD v = 0;
    for (int i = 0; i < n; i++) {
        if (s[i] < '0' || s[i] > '9')
            return 0;
        DWORD d = (DWORD)(s[i] - '0');
        if (v > (0xFFFFFFFFu - d) / 10)   // past 4294967295
            return 0;
        v = v * 10 + d;
    }
    *value = v;
    return 1;
}

static int Hex8(const char *s, int n, DWORD *value)
{
    if (n != 8)
        return 0;
    DWORD v = 0;
    for (int i = 0; i < n; i++) {
        char c = s[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else
            return 0;
        v = (v << 4) | (DWORD)d;
    }
    *value = v;
    return 1;
}

// Moves *pos past trailing blanks and one line end (CR LF or LF); 0 when
// something else follows the last word of the line.
static int EndOfLine(const char *text, int end, int *pos)
{
    while (*pos < end && IsBlank(text[*pos]))
        (*pos)++;
    if (*pos < end && text[*pos] == '\r')
        (*pos)++;
    if (*pos < end && text[*pos] == '\n') {
        (*pos)++;
        return 1;
    }
    return *pos == end;
}

int ParseCheckList(const char *text, int length, CheckList *list)
{
    list->count = 0;
    // The check line is the last line; one line end may follow it.
    int end = length;
    if (end > 0 && text[end - 1] == '\n')
        end--;
    if (end > 0 && text[end - 1] == '\r')
        end--;
    int last = end;
    while (last > 0 && text[last - 1] != '\n')
        last--;

    int pos = last, start, n;
    DWORD entries, crc;
    NextWord(text, end, &pos, &start, &n);
    if (n != 1 || text[start] != '*')
        return 0;
    NextWord(text, end, &pos, &start, &n);
    if (!Decimal(text + start, n, &entries) || entries > CHECK_LIST_MAX_ENTRIES)
        return 0;
    NextWord(text, end, &pos, &start, &n);
    if (!Hex8(text + start, n, &crc) || !EndOfLine(text, end, &pos) || pos != end)
        return 0;
    if (Crc32Update(0, text, (size_t)last) != crc)
        return 0;

    for (pos = 0; pos < last;) {
        if (list->count >= CHECK_LIST_MAX_ENTRIES)
            return 0;
        FileCheck &e = list->entries[list->count];
        NextWord(text, last, &pos, &start, &n);
        if (n < 1 || n > 12)
            return 0;
        CopyMemory(e.name, text + start, n);
        e.name[n] = '\0';
        NextWord(text, last, &pos, &start, &n);
        if (!Decimal(text + start, n, &e.size))
            return 0;
        NextWord(text, last, &pos, &start, &n);
        if (!Hex8(text + start, n, &e.crc) || !EndOfLine(text, last, &pos))
            return 0;
        // A name twice: which of the two would be the file's is anyone's guess.
        if (FindCheck(list, e.name))
            return 0;
        list->count++;
    }
    return (DWORD)list->count == entries;
}

int LoadCheckList(const char *dir, CheckList *list)
{
    list->count = 0;
    char path[MAX_PATH];
    int d = lstrlenA(dir);
    // Without a source directory no record can be copied either.
    if (d == 0 || d + (int)sizeof CHECK_LIST_NAME > MAX_PATH)
        return CHECK_LIST_NONE;
    CopyMemory(path, dir, d);
    CopyMemory(path + d, CHECK_LIST_NAME, sizeof CHECK_LIST_NAME);

    // Only a list that is not there is no list: a drive that is not ready
    // or a read error must not let the files in unchecked.
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? CHECK_LIST_NONE
                                                                              : CHECK_LIST_DAMAGED;
    }
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return CHECK_LIST_DAMAGED;
    char text[CHECK_LIST_MAX_BYTES + 1];
    DWORD got = 0;
    // One byte more than the longest list: a longer file is refused.
    BOOL ok = ReadFile(f, text, sizeof text, &got, NULL);
    CloseHandle(f);
    if (!ok || got == 0 || got > CHECK_LIST_MAX_BYTES)
        return CHECK_LIST_DAMAGED;
    return ParseCheckList(text, (int)got, list) ? CHECK_LIST_READ : CHECK_LIST_DAMAGED;
}

static char Lower(char c) { return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c; }

const FileCheck *FindCheck(const CheckList *list, const char *name)
{
    for (int i = 0; i < list->count; i++) {
        const char *a = list->entries[i].name, *b = name;
        while (*a && Lower(*a) == Lower(*b))
            a++, b++;
        if (!*a && !*b)
            return &list->entries[i];
    }
    return NULL;
}

int FileCrc32(const char *path, DWORD *size, DWORD *crc)
{
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return 0;
    unsigned char *block = new (std::nothrow) unsigned char[CRC_BLOCK];
    if (!block) {
        CloseHandle(f);
        return LZ_NO_MEMORY;
    }
    uint32_t sum = 0;
    DWORD total = 0, got = 0;
    BOOL ok;
    while ((ok = ReadFile(f, block, CRC_BLOCK, &got, NULL)) && got) {
        sum = Crc32Update(sum, block, got);
        total += got;
    }
    delete[] block;
    CloseHandle(f);
    if (!ok)
        return 0;
    *size = total;
    *crc = sum;
    return 1;
}

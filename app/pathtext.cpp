#include <windows.h>

#include "app/pathtext.h"
#include "app/paths.h"
#include "app/syslibs.h"

char *LastBackslash(const char *path)
{
    const char *last = NULL;
    for (const char *p = path; *p; p = CharNextA(p))
        if (*p == '\\')
            last = p;
    return const_cast<char *>(last);
}

int EndsInBackslash(const char *path)
{
    const char *last = LastBackslash(path);
    return last && !last[1];
}

void KeepDirectory(char *path)
{
    char *last = LastBackslash(path);
    (last ? last + 1 : path)[0] = '\0';
}

void LowerAscii(char *path)
{
    for (; *path; path = CharNextA(path))
        if (*path >= 'A' && *path <= 'Z')
            *path = (char)(*path - 'A' + 'a');
}

int ShortAnsiPath(const WCHAR *wide, char *out)
{
    typedef DWORD(WINAPI * ShortFn)(LPCWSTR, LPWSTR, DWORD);
    typedef int(WINAPI * ToAnsiFn)(UINT, DWORD, LPCWSTR, int, LPSTR, int, LPCSTR, LPBOOL);
    ShortFn shortPath = KernelEntryAs<ShortFn>("GetShortPathNameW");
    ToAnsiFn toAnsi = KernelEntryAs<ToAnsiFn>("WideCharToMultiByte");
    WCHAR shortForm[PATH_SIZE];
    DWORD n = shortPath ? shortPath(wide, shortForm, PATH_SIZE) : 0;
    // A short name is made of characters the code page has. Where the
    // volume keeps none, the long name comes back, which the code page
    // spells with a look-alike ("L" for "Ł") or "?": that names no file.
    if (n && n < PATH_SIZE && toAnsi &&
        toAnsi(CP_ACP, 0, shortForm, -1, out, PATH_SIZE, NULL, NULL) &&
        GetFileAttributesA(out) != INVALID_FILE_ATTRIBUTES)
        return 1;
    out[0] = '\0';
    return 0;
}

int SpelledAs(const char *ansi, const WCHAR *wide)
{
    typedef int(WINAPI * ToWideFn)(UINT, DWORD, LPCSTR, int, LPWSTR, int);
    ToWideFn toWide = KernelEntryAs<ToWideFn>("MultiByteToWideChar");
    WCHAR back[PATH_SIZE];
    if (!toWide || !toWide(CP_ACP, 0, ansi, -1, back, PATH_SIZE))
        return 0;
    for (int i = 0; back[i] == wide[i]; i++)
        if (!wide[i])
            return 1;
    return 0;
}

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

int ShortAnsiPath(const WCHAR *wide, char *out)
{
    typedef DWORD(WINAPI * ShortFn)(LPCWSTR, LPWSTR, DWORD);
    typedef int(WINAPI * ToAnsiFn)(UINT, DWORD, LPCWSTR, int, LPSTR, int, LPCSTR, LPBOOL);
    ShortFn shortPath = KernelEntryAs<ShortFn>("GetShortPathNameW");
    ToAnsiFn toAnsi = KernelEntryAs<ToAnsiFn>("WideCharToMultiByte");
    WCHAR shortForm[PATH_SIZE];
    DWORD n = shortPath && toAnsi ? shortPath(wide, shortForm, PATH_SIZE) : 0;
    if (!n || n >= PATH_SIZE)
        return 0;
    if (toAnsi(CP_ACP, 0, shortForm, -1, out, PATH_SIZE, NULL, NULL))
        return 1;
    out[0] = '\0';
    return 0;
}

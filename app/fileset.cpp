#include <windows.h>

#include "app/fileset.h"
#include "app/filecopy.h"
#include "app/platform.h"
#include "app/syslibs.h"

// Windows 95 replaces a loaded file when it next starts: WININIT applies
// the [rename] section of WININIT.INI ("target=new file", short names)
// before anything is loaded.
static const char kWinInit[] = "wininit.ini";
static const char kRename[] = "rename";

static void ShortName(const char *path, char *out)
{
    typedef DWORD(WINAPI * ShortFn)(LPCSTR, LPSTR, DWORD);
    ShortFn shortName = KernelEntryAs<ShortFn>("GetShortPathNameA");
    DWORD n = shortName ? shortName(path, out, MAX_PATH) : 0;
    if (n == 0 || n >= MAX_PATH)
        lstrcpynA(out, path, MAX_PATH);
}

static int ScheduleAtRestart(StagedFile &f)
{
    // The checked file waits under a name that is no leftover of a run.
    char pending[MAX_PATH], shortPending[MAX_PATH];
    if (!FreeNameBeside(f.target, "zrn", f.tag, pending) || !MoveFileA(f.temp, pending))
        return 0;
    lstrcpyA(f.temp, pending);
    ShortName(f.target, f.aside);
    ShortName(pending, shortPending);
    return WritePrivateProfileStringA(kRename, f.aside, shortPending, kWinInit) != 0;
}

// Undoes the replaces of the first n files of the set, the last first.
static void RollBack(FileSet *set, int n)
{
    while (n-- > 0) {
        StagedFile &f = set->files[n];
        if (f.state == FILE_REPLACED && !f.aside[0])
            DeleteFileA(f.target);   // there was none before
        else if (f.state == FILE_REPLACED)
            PutBack(f.aside, f.target);   // failing that, the next run does
        else if (f.state == FILE_SCHEDULED)
            WritePrivateProfileStringA(kRename, f.aside, NULL, kWinInit);
        f.state = FILE_STAGED;
    }
}

int CommitFiles(FileSet *set)
{
    int result = 1;
    for (int i = 0; i < set->count; i++) {
        StagedFile &f = set->files[i];
        int replaced = ReplaceKeeping(f.temp, f.target, f.tag, f.aside);
        if (replaced == 1) {
            f.state = FILE_REPLACED;
        } else if (replaced == LZ_IN_USE && f.fSystem && Platform() == PLATFORM_WIN95 &&
                   ScheduleAtRestart(f)) {
            f.state = FILE_SCHEDULED;
            result = FILES_RESTART;
        } else {
            RollBack(set, i);
            DiscardFiles(set);
            return ShowLZError(replaced, f.target);
        }
    }
    for (int i = 0; i < set->count; i++)
        if (set->files[i].state == FILE_REPLACED)
            DropAside(set->files[i].aside, set->files[i].fSystem);
    return result;
}

void DiscardFiles(FileSet *set)
{
    // Files replaced or put back no longer have their temporary names.
    for (int i = 0; i < set->count; i++)
        DeleteFileA(set->files[i].temp);
}

static int Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

static int HexDigit(char c)
{
    c = (char)Lower(c);
    return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// The tag of a name "zrs" or "zro" + four hex digits + ".tmp" (any case),
// set-aside files as 16 more; -1 for every other name.
static int LeftoverTag(const char *name)
{
    static const char kForm[] = "zr?????.tmp";
    for (int i = 0; i < 11; i++)
        if (!name[i] || (kForm[i] != '?' && Lower(name[i]) != kForm[i]) ||
            (i > 2 && i < 7 && HexDigit(name[i]) < 0))
            return -1;
    int kind = Lower(name[2]);
    if (name[11] || (kind != 's' && kind != 'o'))
        return -1;
    return HexDigit(name[3]) + (kind == 'o' ? 16 : 0);
}

void CleanLeftovers(const char *dir, const char *const *targets, int count)
{
    char path[MAX_PATH], target[MAX_PATH];
    int length = lstrlenA(dir);
    if (length + 13 >= MAX_PATH)
        return;
    lstrcpyA(path, dir);
    lstrcpyA(path + length, "zr*.tmp");
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(path, &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        int tag = LeftoverTag(found.cFileName);
        if (tag < 0)
            continue;
        lstrcpyA(path + length, found.cFileName);
        tag -= 16;
        if (tag >= 0 && tag < count && length + lstrlenA(targets[tag]) < MAX_PATH) {
            lstrcpyA(target, dir);
            lstrcpyA(target + length, targets[tag]);
            // A killed commit took the target away: it comes back (or
            // stays, should it not go, as the last copy of those bytes).
            if (GetFileAttributesA(target) == INVALID_FILE_ATTRIBUTES) {
                MoveFileA(path, target);
                continue;
            }
        } else if (tag >= 0) {
            continue;   // no record of this table: its target is unknown
        }
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path);
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

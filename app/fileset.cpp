#include <windows.h>
#include <stddef.h>

#include "app/fileset.h"
#include "app/crc32.h"
#include "app/filecopy.h"
#include "app/platform.h"
#include "app/syslibs.h"

// Windows 95 replaces a loaded file when it next starts: WININIT applies
// the [rename] section of WININIT.INI ("target=new file", short names)
// before anything is loaded.
static const char kWinInit[] = "wininit.ini";
static const char kRename[] = "rename";
// The commit record, in the Windows directory (or the temporary folder):
// the set as it was before the first replace, with the CRC-32 of its bytes, so that a record cut
// short is known.
static const char kRecord[] = "\\vellox20.cmt";

static void ShortName(const char *path, char *out)
{
    typedef DWORD(WINAPI * ShortFn)(LPCSTR, LPSTR, DWORD);
    ShortFn shortName = KernelEntryAs<ShortFn>("GetShortPathNameA");
    DWORD n = shortName ? shortName(path, out, MAX_PATH) : 0;
    if (n == 0 || n >= MAX_PATH)
        lstrcpynA(out, path, MAX_PATH);
}

// The rename line of target: its key into key, the file it names into
// value (empty: none). Both MAX_PATH.
static void RenameLine(const char *target, char *key, char *value)
{
    ShortName(target, key);
    GetPrivateProfileStringA(kRename, key, "", value, MAX_PATH, kWinInit);
}

// Sets or (value null) removes the line, and has it written out at once.
static void SetRenameLine(const char *key, const char *value)
{
    WritePrivateProfileStringA(kRename, key, value, kWinInit);
    WritePrivateProfileStringA(NULL, NULL, NULL, kWinInit);
}

// Its path: in the Windows directory (where = 0), or in the temporary
// folder (1) for a user who may not write to the Windows directory, as
// on NT without an administrator's rights.
static const char *RecordPath(int where)
{
    static char path[MAX_PATH];
    const UINT room = MAX_PATH - sizeof kRecord;
    UINT n = where ? GetTempPathA(room, path) : GetWindowsDirectoryA(path, room);
    if (n >= room)
        n = 0;
    if (n && path[n - 1] == '\\')   // the folder's own backslash, never a trail byte
        n--;
    lstrcpyA(path + n, kRecord);
    return path;
}

static DWORD RecordCrc(const FileSet *set)
{
    return Crc32Update(0, set, offsetof(FileSet, crc));
}

static int WriteRecord(FileSet *set)
{
    set->crc = RecordCrc(set);
    for (int where = 0; where < 2; where++) {
        DWORD done;
        HANDLE f = CreateFileA(RecordPath(where), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, NULL);
        if (f == INVALID_HANDLE_VALUE)
            continue;
        int ok = WriteFile(f, set, sizeof *set, &done, NULL) && done == sizeof *set &&
                 FlushFileBuffers(f);
        CloseHandle(f);
        if (ok)
            return 1;
        DeleteFileA(RecordPath(where));
    }
    return 0;
}

// There is one record at most, in one of the two places.
static void DeleteRecord()
{
    DeleteFileA(RecordPath(0));
    DeleteFileA(RecordPath(1));
}

// The tag of a name "zrs", "zro" or "zrn" + four hex digits + ".tmp" (any
// case): set-aside files as 16 more, files waiting for a restart as 32
// more; negative for every other name. (Letters are lower-cased by their
// 0x20 bit; the terminator then compares as a blank.)
static int LeftoverTag(const char *name)
{
    static const char kForm[] = "zr?####.tmp";
    int tag = 0;
    for (int i = 0; i < 12; i++) {
        int c = name[i] | 0x20, form = kForm[i];
        if (form == '#') {
            int digit = c <= '9' ? c - '0' : c >= 'a' ? c - 'a' + 10 : -1;
            if (digit < 0 || digit > 15)
                return -1;
            if (i == 3)
                tag += digit;
        } else if (form == '?') {
            tag = c == 's' ? 0 : c == 'o' ? 16 : c == 'n' ? 32 : -64;
        } else if (c != (form | 0x20)) {
            return -1;
        }
    }
    return tag;
}

// 1 when a rename line's file is one of ours, waiting for the restart.
static int OursPending(const char *value)
{
    const char *name = value;
    for (const char *p = value; *p; p = CharNextA(p))
        if (*p == '\\')
            name = p + 1;
    return LeftoverTag(name) >= 32;
}

// The checked runtime waits for the restart under a name that is no
// leftover of a run, unless another program's file already waits for that
// place: that one is kept, and ours goes.
static int ScheduleAtRestart(FileSet *set, StagedFile &f)
{
    char key[MAX_PATH], pending[MAX_PATH];
    RenameLine(f.target, key, f.prior);
    if (f.prior[0] && !OursPending(f.prior)) {
        f.state = FILE_KEPT;
        return 1;
    }
    if (!FreeNameBeside(f.target, "zrn", f.tag, f.aside))
        return 0;
    f.state = FILE_SCHEDULED;
    if (!WriteRecord(set) || !MoveFileA(f.temp, f.aside))
        return 0;
    ShortName(f.aside, pending);
    SetRenameLine(key, pending);
    return 1;
}

// 1 when the rename line of a scheduled file names its file: a file of
// ours, and not the one that waited before.
static int Scheduled(const StagedFile &f)
{
    char key[MAX_PATH], value[MAX_PATH];
    RenameLine(f.target, key, value);
    return OursPending(value) && lstrcmpiA(value, f.prior) != 0;
}

// Undoes the first n files of the set, the last first, from what the
// disk shows: a file whose staged copy is gone, or whose target is, was
// replaced or set aside. Null when all are back; else the target that
// could not go back.
static const char *RollBack(FileSet *set, int n)
{
    const char *stuck = NULL;
    while (n-- > 0) {
        StagedFile &f = set->files[n];
        if (f.state == FILE_SCHEDULED) {
            char key[MAX_PATH], value[MAX_PATH];
            RenameLine(f.target, key, value);
            SetRenameLine(key, f.prior[0] ? f.prior : NULL);
            DeleteFileA(f.aside);
        } else if (!FileExist(f.temp) || !FileExist(f.target)) {
            if (!f.aside[0])
                DeleteFileA(f.target);   // there was none before
            else if (!PutBack(f.aside, f.target) && FileExist(f.aside))
                stuck = f.target;
        } else {
            DeleteFileA(f.aside);   // a second name of the target still in place
        }
    }
    return stuck;
}

// The set is in place: the staged files still there (a runtime kept) go
// first, so that a start finding the record knows the commit is over; then
// the old files and what a restart would have undone.
static void Finish(FileSet *set)
{
    DiscardFiles(set);
    for (int i = 0; i < set->count; i++) {
        StagedFile &f = set->files[i];
        if (f.state == FILE_SCHEDULED) {
            DeleteFileA(f.prior);   // an earlier run's runtime, superseded
            continue;
        }
        DropAside(f.aside, f.fSystem);
        char key[MAX_PATH], value[MAX_PATH];
        // A runtime of an earlier run still waiting would take the place
        // of this one at the restart.
        RenameLine(f.target, key, value);
        if (f.fSystem && OursPending(value)) {
            SetRenameLine(key, NULL);
            DeleteFileA(value);
        }
    }
    DeleteRecord();
}

// The commit stops before it starts: staged files go, the message shows.
static int Abandon(FileSet *set, const char *name)
{
    DiscardFiles(set);
    return ShowLZError(LZ_CANNOT_OPEN, name);
}

int CommitFiles(FileSet *set)
{
    // The names the old files go to are chosen, and recorded, first.
    for (int i = 0; i < set->count; i++) {
        StagedFile &f = set->files[i];
        f.aside[0] = '\0';
        if (FileExist(f.target) && !FreeNameBeside(f.target, "zro", f.tag, f.aside))
            return Abandon(set, f.target);
    }
    if (!WriteRecord(set))
        return Abandon(set, kRecord + 1);

    int result = 1;
    for (int i = 0; i < set->count; i++) {
        StagedFile &f = set->files[i];
        int replaced = ReplaceKeeping(f.temp, f.target, f.tag, f.aside);
        if (replaced == 1) {
            f.state = FILE_REPLACED;
        } else if (replaced == LZ_DENIED && f.fSystem) {
            f.state = FILE_KEPT;   // the system's own runtime
        } else if (replaced == LZ_IN_USE && f.fSystem && Platform() == PLATFORM_WIN95 &&
                   ScheduleAtRestart(set, f)) {
            result = FILES_RESTART;
        } else {
            // Undone as a start would undo it, from the record; a put-back
            // refused leaves it for the next start.
            char stuck[MAX_PATH];
            RecoverCommit(stuck);
            return ShowLZError(replaced, f.target);
        }
    }
    Finish(set);
    return result;
}

int RecoverCommit(char *failed)
{
    HANDLE f = CreateFileA(RecordPath(0), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        f = CreateFileA(RecordPath(1), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return 1;   // no commit was under way
    FileSet set;
    DWORD got = 0;
    ReadFile(f, &set, sizeof set, &got, NULL);
    CloseHandle(f);
    // A record cut short was being written: nothing was replaced yet.
    if (got != sizeof set || set.crc != RecordCrc(&set)) {
        DeleteRecord();
        return 1;
    }
    // Every staged file gone means every target was replaced: the commit
    // is finished. Otherwise no old file was dropped yet, and all go back.
    int done = 1;
    for (int i = 0; i < set.count; i++)
        if (set.files[i].state == FILE_SCHEDULED ? !Scheduled(set.files[i])
                                                  : FileExist(set.files[i].temp))
            done = 0;
    if (done) {
        Finish(&set);
        return 1;
    }
    const char *stuck = RollBack(&set, set.count);
    if (stuck) {
        lstrcpynA(failed, stuck, MAX_PATH);
        return 0;
    }
    DiscardFiles(&set);
    DeleteRecord();
    return 1;
}

void DiscardFiles(FileSet *set)
{
    // Files replaced or put back no longer have their temporary names.
    for (int i = 0; i < set->count; i++)
        DeleteFileA(set->files[i].temp);
}

void CleanLeftovers(const char *dir, const char *const *targets, int count)
{
    char path[MAX_PATH], target[MAX_PATH];
    int length = lstrlenA(dir);
    if (length + 13 >= MAX_PATH || count > FILESET_MAX)
        return;
    lstrcpyA(path, dir);
    lstrcpyA(target, dir);
    lstrcpyA(path + length, "zr*.tmp");
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(path, &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    // The set-aside copies put back, and when each was last written: of
    // two, the newer one (in its target's place last) stays there.
    int putBack = 0;
    FILETIME written[FILESET_MAX];
    do {
        int tag = LeftoverTag(found.cFileName);
        if (tag < 0 || tag >= 32 || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;   // not ours, waiting for a restart, or a folder
        lstrcpyA(path + length, found.cFileName);
        tag -= 16;
        if (tag >= 0) {
            // A set-aside file of a target that does not belong here stays
            // as it is.
            if (tag >= count || !targets[tag] || length + lstrlenA(targets[tag]) >= MAX_PATH)
                continue;
            lstrcpyA(target + length, targets[tag]);
            if ((putBack >> tag & 1) && CompareFileTime(&found.ftLastWriteTime, &written[tag]) > 0)
                DeleteFileA(target);   // an older copy, put back just now
            // A killed commit took the target away: it comes back (or the
            // copy stays, should it not go, as the last of those bytes).
            if (GetFileAttributesA(target) == INVALID_FILE_ATTRIBUTES) {
                if (MoveFileA(path, target)) {
                    putBack |= 1 << tag;
                    written[tag] = found.ftLastWriteTime;
                }
                continue;
            }
        }
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path);
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

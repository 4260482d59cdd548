#include <windows.h>

#include "app/filecopy.h"
#include "app/checklist.h"
#include "app/globals.h"
#include "app/pages.h"
#include "app/pathtext.h"
#include "app/platform.h"
#include "app/syslibs.h"

int FileExist(const char *path)
{
    DWORD attr = GetFileAttributesA(path);
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

int FileWriteable(const char *path)
{
    if (!FileExist(path))
        return 1;
    HANDLE f = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return 0;
    CloseHandle(f);
    return 1;
}

static HANDLE OpenForReading(const char *path)
{
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, NULL);
}

// Last-write time of an open file as local packed date and time.
static int DosWriteTime(HANDLE f, WORD *date, WORD *time)
{
    FILETIME written, local;
    return GetFileTime(f, NULL, NULL, &written) && FileTimeToLocalFileTime(&written, &local) &&
           FileTimeToDosDateTime(&local, date, time);
}

int FileNewer(const char *source, const char *target)
{
    if (!FileExist(target))
        return 1;
    HANDLE src = OpenForReading(source);
    if (src == INVALID_HANDLE_VALUE)
        return -1;
    HANDLE dst = OpenForReading(target);
    if (dst == INVALID_HANDLE_VALUE) {
        CloseHandle(src);
        return 0;
    }
    WORD srcDate, srcTime, dstDate, dstTime;
    int ok = DosWriteTime(src, &srcDate, &srcTime) ? DosWriteTime(dst, &dstDate, &dstTime) : -1;
    CloseHandle(src);
    CloseHandle(dst);
    if (ok <= 0)
        return ok;
    // Packed dates (year, month, day from the high bits down) and packed
    // times (hour, minute, second) both order as plain numbers.
    if (dstDate != srcDate)
        return dstDate < srcDate;
    return dstTime < srcTime;
}

int ShowLZError(int code, const char *name)
{
    int mapped;
    if (code == LZ_DENIED)
        code = LZ_CANNOT_OPEN;
    if (code == LZERROR_GLOBLOCK)
        mapped = LZ_NO_MEMORY;
    else if (code == LZERROR_WRITE || code == LZERROR_BADINHANDLE || code == LZ_IN_USE ||
             code == LZ_DAMAGED)
        mapped = code;
    else
        mapped = LZ_INTERNAL;

    char format[47];
    if (LoadStringA(ghInst, (UINT)(WORD)mapped, format, sizeof format) <= 0)
        format[0] = '\0';
    // Names are cut so that the longest format still fits the text.
    char shown[200];
    lstrcpynA(shown, name ? name : "", sizeof shown);
    char text[256];
    if (mapped == LZ_INTERNAL)
        wsprintfA(text, format, mapped);
    else
        wsprintfA(text, format, shown);
    ShowAlertStr(text);
    return mapped;
}

int SZDDLength(const char *path, DWORD *length)
{
    static const BYTE magic[8] = {0x53, 0x5A, 0x44, 0x44, 0x88, 0xF0, 0x27, 0x33};
    HANDLE f = OpenForReading(path);
    if (f == INVALID_HANDLE_VALUE)
        return 0;
    BYTE header[14];
    DWORD got = 0;
    BOOL ok = ReadFile(f, header, sizeof header, &got, NULL);
    CloseHandle(f);
    if (!ok || got != sizeof header)
        return 0;
    for (int i = 0; i < (int)sizeof magic; i++)
        if (header[i] != magic[i])
            return 0;
    *length = header[10] | (header[11] << 8) | ((DWORD)header[12] << 16) |
              ((DWORD)header[13] << 24);
    return 1;
}

// The directory part of path (up to and with its last backslash) into dir
// of MAX_PATH characters; empty when there is none.
static void DirectoryOf(const char *path, char *dir)
{
    lstrcpynA(dir, path, MAX_PATH);
    KeepDirectory(dir);
}

// The names made here, not by GetTempFileNameA: where that call is built on
// the 16-bit one it may put the file in TEMP, on another drive, and the
// rename into the target's place would fail.
int FreeNameBeside(const char *target, const char *prefix, int tag, char *out)
{
    char dir[MAX_PATH];
    DirectoryOf(target, dir);
    if (lstrlenA(dir) + 12 >= MAX_PATH)
        return 0;
    const DWORD first = GetTickCount();
    for (DWORD i = 0; i < 0x1000; i++) {
        wsprintfA(out, "%s%s%X%03X.tmp", dir, prefix, tag & 0xF, (unsigned)((first + i) & 0xFFF));
        if (GetFileAttributesA(out) == INVALID_FILE_ATTRIBUTES)
            return 1;
    }
    return 0;
}

// A new empty temporary file beside target, its name in temp (MAX_PATH),
// opened for writing. INVALID_HANDLE_VALUE when none can be made.
static HANDLE CreateTempBeside(const char *target, int tag, char *temp)
{
    for (int tries = 0; tries < 16 && FreeNameBeside(target, "zrs", tag, temp); tries++) {
        HANDLE f = CreateFileA(temp, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (f != INVALID_HANDLE_VALUE)
            return f;
        // Only a name taken meanwhile is worth passing over; a folder that
        // is missing or full takes no other name either.
        if (GetFileAttributesA(temp) == INVALID_FILE_ATTRIBUTES)
            break;
    }
    return INVALID_HANDLE_VALUE;
}

// MoveFileExA where it does what it says: NT. Windows 95 and Win32s export
// it only as a stub that fails, and the oldest systems not at all.
typedef BOOL(WINAPI *MoveFileExFn)(LPCSTR, LPCSTR, DWORD);
static MoveFileExFn NtMoveFileEx()
{
    return Platform() == PLATFORM_WINNT ? KernelEntryAs<MoveFileExFn>("MoveFileExA") : NULL;
}

int ReplaceKeeping(const char *fresh, const char *target, int tag, char *aside)
{
    if (!FileExist(target)) {
        aside[0] = '\0';
        return MoveFileA(fresh, target) ? 1 : LZ_CANNOT_OPEN;
    }
    if (!aside[0] && !FreeNameBeside(target, "zro", tag, aside))
        return aside[0] = '\0', LZ_CANNOT_OPEN;

    // NT replaces a file in one step; a second name for the old file, made
    // first, keeps its bytes should the set be rolled back. Links exist
    // from Windows 2000 on (NTFS). A read-only target is renamed instead,
    // as is one that a program has loaded, which NT can rename but not
    // replace, and one that a program holds open without sharing its
    // deletion: that one cannot be replaced, and its second name could
    // not be deleted again either.
    MoveFileExFn moveEx = NtMoveFileEx();
    typedef BOOL(WINAPI * LinkFn)(LPCSTR, LPCSTR, LPSECURITY_ATTRIBUTES);
    LinkFn link = moveEx ? KernelEntryAs<LinkFn>("CreateHardLinkA") : NULL;
    const DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE probe = link ? CreateFileA(target, DELETE, shareAll, NULL, OPEN_EXISTING, 0, NULL)
                        : INVALID_HANDLE_VALUE;
    if (probe != INVALID_HANDLE_VALUE)
        CloseHandle(probe);
    if (probe != INVALID_HANDLE_VALUE && !(GetFileAttributesA(target) & FILE_ATTRIBUTE_READONLY) &&
        link(aside, target, NULL)) {
        if (moveEx(fresh, target, MOVEFILE_REPLACE_EXISTING))
            return 1;
        DropAside(aside, 0);
    }

    // Elsewhere the old file is renamed aside and the new one renamed into
    // its place. Windows 95 and Win32s cannot rename a loaded file; NT can,
    // so a refusal there means missing rights, unless a program holds the
    // file open without sharing. The name given is kept unless a second
    // name that could not be deleted (loaded) still holds it.
    if ((GetFileAttributesA(aside) != INVALID_FILE_ATTRIBUTES &&
         !FreeNameBeside(target, "zro", tag, aside)) ||
        !MoveFileA(target, aside)) {
        DWORD error = GetLastError();
        aside[0] = '\0';
        return !moveEx || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION
                   ? LZ_IN_USE
               : error == ERROR_ACCESS_DENIED ? LZ_DENIED
                                              : LZ_CANNOT_OPEN;
    }
    if (MoveFileA(fresh, target))
        return 1;
    // The old file goes back. Should even that fail, its bytes stay under
    // the aside name, never deleted, and the next run puts them back.
    if (MoveFileA(aside, target))
        aside[0] = '\0';
    return LZ_CANNOT_OPEN;
}

int PutBack(const char *aside, const char *target)
{
    // Without the old bytes there is nothing to put back, and the target
    // stays whatever it holds.
    if (!FileExist(aside))
        return 0;
    MoveFileExFn moveEx = NtMoveFileEx();
    if (moveEx && moveEx(aside, target, MOVEFILE_REPLACE_EXISTING))
        return 1;
    // The new file in the target's place is ours and loaded by no one.
    // Should the old one still not go back, the target is missing, and
    // the next run puts it back.
    DeleteFileA(target);
    return MoveFileA(aside, target) != 0;
}

void DropAside(const char *aside, int fSystem)
{
    // Win32s without SHARE deletes a file that a program still has open:
    // a runtime set aside waits for the next run.
    if (!aside[0] || (fSystem && Platform() == PLATFORM_WIN31))
        return;
    // Windows 95 keeps the read-only bit of a file copied from a CD, and
    // renames such a file but does not delete it. (Only that bit goes: a
    // second name shares its attributes with the file it names.)
    DWORD attributes = GetFileAttributesA(aside);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesA(aside, attributes & ~FILE_ATTRIBUTE_READONLY);
    // NT keeps a loaded file until the program lets it go: the system
    // deletes it at the next restart.
    MoveFileExFn moveEx = NtMoveFileEx();
    if (!DeleteFileA(aside) && moveEx)
        moveEx(aside, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
}

int ReplaceWith(const char *fresh, const char *target)
{
    char aside[MAX_PATH];
    aside[0] = '\0';
    int replaced = ReplaceKeeping(fresh, target, TAG_NONE, aside);
    if (replaced == 1)
        DropAside(aside, 0);
    return replaced;
}

// Opens the source for expansion: an LZ handle for a compressed file, a
// plain one otherwise, or a negative LZ error.
static INT OpenSource(const LZCalls *lz, const char *source)
{
    HANDLE f = OpenForReading(source);
    if (f == INVALID_HANDLE_VALUE)
        return LZERROR_BADINHANDLE;
    HFILE plain = (HFILE)(INT_PTR)f;
    INT handle = lz->pLZInit(plain);
    if (handle < 0)
        CloseHandle(f);
    return handle;
}

int MyLZCopy(const char *source, const char *target)
{
    return MyLZCopyChecked(source, target, NULL);
}

// 1 when the expanded file matches its check, 0 when it differs or cannot
// be read back, LZ_NO_MEMORY without a buffer to read it.
static int ExpandedMatches(const char *temp, LONG copied, const FileCheck *check)
{
    if ((DWORD)copied != check->size)
        return 0;
    DWORD size = 0, crc = 0;
    int read = FileCrc32(temp, &size, &crc);
    if (read <= 0)
        return read;
    return size == check->size && crc == check->crc;
}

int StageLZCopy(const char *source, const char *target, int tag, const FileCheck *check,
                char *temp, const char **failed)
{
    // Without the library (or one of its entries) the copy fails as if
    // LZStart had.
    const LZCalls *lz = GetLZCalls();
    INT started = lz ? lz->pLZStart() : LZ_INTERNAL;
    if (started < 0)
        return *failed = "", started;

    DWORD expected = 0;
    int checkLength = SZDDLength(source, &expected);

    INT src = OpenSource(lz, source);
    if (src < 0) {
        lz->pLZDone();
        return *failed = source, src;
    }
    HANDLE dst = CreateTempBeside(target, tag, temp);
    if (dst == INVALID_HANDLE_VALUE) {
        lz->pLZClose(src);
        lz->pLZDone();
        return *failed = target, LZ_CANNOT_OPEN;
    }

    // On disk before any replace: a power cut must not leave a target
    // that reads as zeros with its old copy dropped.
    LONG copied = lz->pCopyLZFile(src, (HFILE)(INT_PTR)dst);
    if (copied >= 0 && !FlushFileBuffers(dst))
        copied = LZERROR_WRITE;
    lz->pLZClose(src);
    CloseHandle(dst);
    lz->pLZDone();

    // The library does not notice a source that ends early: its header
    // says how long the expanded file must be.
    if (copied >= 0 && checkLength && (DWORD)copied != expected)
        copied = LZ_INTERNAL;
    // The expanded bytes against the media's list: damage on the disk or
    // in expansion alike. Read back from the cache, not from the source.
    if (copied >= 0 && check) {
        int match = ExpandedMatches(temp, copied, check);
        if (match <= 0)
            copied = match < 0 ? LZERROR_GLOBLOCK : LZ_DAMAGED;
    }
    if (copied < 0) {
        DeleteFileA(temp);
        return *failed = source, (int)copied;
    }
    return 1;
}

int MyLZCopyChecked(const char *source, const char *target, const FileCheck *check)
{
    char temp[MAX_PATH];
    const char *failed;
    int staged = StageLZCopy(source, target, TAG_NONE, check, temp, &failed);
    if (staged != 1)
        return ShowLZError(staged, failed);
    int replaced = ReplaceWith(temp, target);
    if (replaced != 1) {
        DeleteFileA(temp);
        return ShowLZError(replaced, target);
    }
    return 1;
}

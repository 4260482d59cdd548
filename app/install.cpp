#include <windows.h>

#include "app/install.h"
#include "app/globals.h"
#include "app/dialogs.h"
#include "app/filecopy.h"
#include "app/fileset.h"
#include "app/syslibs.h"
#include "app/checklist.h"
#include "app/pages.h"
#include "app/pathtext.h"
#include "app/platform.h"
#include "app/plugindir.h"
#include "resources/resource_ids.h"

const CopyRec gCopy[] = {
    {"msvcrt20._ll", "msvcrt20.dll", 1, 1, PLATFORM_WINNT | PLATFORM_WIN95},
    {"msvcrt20._2s", "msvcrt20.dll", 1, 1, PLATFORM_WIN31},
    {"zrsupp32._ll", "zrsupp32.dll", 0, 0, PLATFORM_WIN31 | PLATFORM_WINNT | PLATFORM_WIN95},
    {"zrfilt32._bf", "zrfilt32.8bf", 0, 0, PLATFORM_WIN31 | PLATFORM_WINNT | PLATFORM_WIN95},
};
const int gFiles = sizeof gCopy / sizeof gCopy[0];

// Progress graph range and position messages.
enum { GRAPH_SETRANGE = WM_USER, GRAPH_SETPOS = WM_USER + 1 };

int PreparePath(char *path)
{
    int n = lstrlenA(path);
    int ok = 1;
    if (!EndsInBackslash(path)) {
        if (n + 1 < PATH_SIZE) {
            path[n] = '\\';
            path[n + 1] = '\0';
        } else {
            ok = 0;
        }
    }
    // Letters A to Z only; the bytes of a double-byte character stay as
    // they are.
    for (char *p = path; *p; p = CharNextA(p))
        if (*p >= 'A' && *p <= 'Z')
            *p = (char)(*p - 'A' + 'a');
    return ok;
}

int JoinPath(char *out, const char *dir, const char *name)
{
    int d = lstrlenA(dir), n = lstrlenA(name);
    if (d + n >= PATH_SIZE) {
        out[0] = '\0';
        return 0;
    }
    CopyMemory(out, dir, d);
    CopyMemory(out + d, name, n + 1);
    return 1;
}

int SourceDirectory(char *dir)
{
    DWORD len = GetModuleFileNameA(ghInst, dir, PATH_SIZE);
    // A path that filled the whole buffer was cut short (and may lack its
    // terminator). On NT a folder name that the code page cannot spell
    // comes back changed and names no file. Either way NT has the short
    // form of the name, where the volume keeps one.
    if (len == 0 || len >= PATH_SIZE || (dir[len] = '\0', !FileExist(dir))) {
        typedef DWORD(WINAPI * ModuleNameFn)(HMODULE, LPWSTR, DWORD);
        ModuleNameFn nameW = KernelEntryAs<ModuleNameFn>("GetModuleFileNameW");
        WCHAR wide[MAX_PATH];
        DWORD n = nameW ? nameW(ghInst, wide, MAX_PATH) : 0;
        if (!n || n >= MAX_PATH || !ShortAnsiPath(wide, dir)) {
            dir[0] = '\0';
            return 0;
        }
    }
    KeepDirectory(dir);
    return PreparePath(dir);
}

// Bytes the file at path takes once expanded; 0 when it cannot be read.
static DWORD ExpandedLength(const char *path)
{
    DWORD length = 0;
    if (SZDDLength(path, &length))
        return length;
    // The LZ library copies a file that is not packed as it is.
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return 0;
    length = GetFileSize(f, NULL);
    CloseHandle(f);
    return length == INVALID_FILE_SIZE ? 0 : length;
}

LONGLONG SpaceRequiredKB(DWORD platform, const char *sourceDir)
{
    ULONGLONG bytes = 0;
    char source[PATH_SIZE];
    for (int i = 0; i < gFiles; i++)
        if ((gCopy[i].dwPlatforms & platform) && sourceDir[0] &&
            JoinPath(source, sourceDir, gCopy[i].pSource))
            bytes += ExpandedLength(source);
    LONGLONG kb = (LONGLONG)((bytes + 1023) / 1024);
    const LONGLONG least = SPACE_REQUIRED_KB;
    return kb > least ? kb : least;
}

// Target directory of a record into dir (PATH_SIZE); 0 on failure.
static int TargetDir(const CopyRec &rec, const char *pluginDir, char *dir)
{
    if (!rec.fSystem) {
        lstrcpynA(dir, pluginDir, PATH_SIZE);
        return dir[0] != '\0';
    }
    UINT len = gfNetworkWin ? GetWindowsDirectoryA(dir, PATH_SIZE)
                            : GetSystemDirectoryA(dir, PATH_SIZE);
    if (len == 0 || len >= PATH_SIZE) {
        dir[0] = '\0';
        return 0;
    }
    return PreparePath(dir);
}

static void ShowCopyTexts(const char *source, const char *target)
{
    if (!ghStatus)
        return;
    HWND from = GetDlgItem(ghStatus, IDC_COPY_SOURCE);
    HWND to = GetDlgItem(ghStatus, IDC_COPY_TARGET);
    if (from) {
        SendMessageA(from, WM_SETTEXT, 0, (LPARAM)source);
        UpdateWindow(from);
    }
    if (to) {
        SendMessageA(to, WM_SETTEXT, 0, (LPARAM)target);
        UpdateWindow(to);
    }
    // Window systems that compose off screen put what was painted on the
    // screen when the queue is next looked at; look now, without taking
    // anything, so the new names show during a long expansion.
    MSG msg;
    PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE);
}

// What was staged goes before the message of a failure shows.
static int StageFailed(FileSet *set, int code, const char *name)
{
    DiscardFiles(set);
    set->count = 0;
    ShowLZError(code, name);
    return 0;
}

// Stages record i into the set: its new file expanded beside the target
// and checked against the list (else null). 1 when staged or kept; 0
// after a failure, when every staged file is gone and the user has been
// shown why.
static int StageRecord(int i, const char *sourceDir, const char *pluginDir,
                       const CheckList *list, FileSet *set)
{
    const CopyRec &rec = gCopy[i];
    char source[PATH_SIZE], targetDir[PATH_SIZE], target[PATH_SIZE];

    if (!TargetDir(rec, pluginDir, targetDir))
        return StageFailed(set, LZ_CANNOT_OPEN, rec.pTarget);
    if (!sourceDir[0] || !JoinPath(source, sourceDir, rec.pSource))
        return StageFailed(set, LZ_CANNOT_OPEN, rec.pSource);
    if (!JoinPath(target, targetDir, rec.pTarget))
        return StageFailed(set, LZ_CANNOT_OPEN, rec.pTarget);

    ShowCopyTexts(rec.pSource, target);

    // -m replaces the installed runtime whatever its age, through the same
    // replace as every copy, so a failed copy leaves the old one in place.
    // A runtime that the system protects is kept, as a newer one is.
    int forced = rec.fSystem && gfForceMSVC;
    if (rec.fSystem && SystemFileProtected(target))
        return 1;
    const FileCheck *check = list ? FindCheck(list, rec.pSource) : NULL;
    // A runtime the list names but that cannot be opened is damaged, not
    // old.
    int newer = rec.fCheckNewer && !forced ? FileNewer(source, target) : 1;
    if (newer < 0 && check)
        return StageFailed(set, LZ_DAMAGED, source);
    if (newer <= 0)
        return 1;
    // A file the list does not name cannot be vouched for.
    if (list && !check)
        return StageFailed(set, LZ_DAMAGED, source);
    StagedFile &f = set->files[set->count];
    const char *failed;
    int staged = StageLZCopy(source, target, i, check, f.temp, &failed);
    if (staged != 1)
        return StageFailed(set, staged, failed);
    lstrcpyA(f.target, target);
    f.aside[0] = '\0';
    f.tag = i;
    f.fSystem = rec.fSystem;
    f.state = FILE_STAGED;
    set->count++;
    return 1;
}

// Stages every record of the platform, then replaces them all together.
// 1 when installed, FILES_RESTART when the runtime waits for a restart,
// 0 after a failure or Cancel, with every target as it was.
static int CopyFiles(DWORD platform, const char *sourceDir, const char *pluginDir)
{
    // Media without a list install as they always have; a list that fails
    // its own check stops the install before anything is copied.
    CheckList list;
    int listed = LoadCheckList(sourceDir, &list);
    if (listed == CHECK_LIST_DAMAGED) {
        ShowLZError(LZ_INTERNAL, CHECK_LIST_NAME);
        return 0;
    }
    const CheckList *checks = listed == CHECK_LIST_READ ? &list : NULL;

    // A commit that could not be undone at start is tried again; while it
    // stands, nothing else is touched.
    char stuck[MAX_PATH];
    if (!RecoverCommit(stuck)) {
        ShowLZError(LZ_IN_USE, stuck);
        return 0;
    }
    // What a killed run left goes first, from every folder written to,
    // each folder with the targets that belong in it.
    static_assert(sizeof gCopy / sizeof gCopy[0] <= FILESET_MAX, "a set holds every record");
    const char *targets[sizeof gCopy / sizeof gCopy[0]];
    char dir[PATH_SIZE];
    for (int i = 0; i < gFiles; i++) {
        if (!(gCopy[i].dwPlatforms & platform) || !TargetDir(gCopy[i], pluginDir, dir))
            continue;
        for (int j = 0; j < gFiles; j++)
            targets[j] = gCopy[j].fSystem == gCopy[i].fSystem ? gCopy[j].pTarget : NULL;
        CleanLeftovers(dir, targets, gFiles);
    }

    FileSet set;
    set.count = 0;
    for (int i = 0; !gfAbort && i < gFiles; ) {
        if ((gCopy[i].dwPlatforms & platform) &&
            !StageRecord(i, sourceDir, pluginDir, checks, &set)) {
            gfAbort = 1;
            break;
        }
        i++;
        if (ghStatus)
            SendDlgItemMessageA(ghStatus, IDC_PROGRESS, GRAPH_SETPOS, 1, MulDiv(i, 100, gFiles));
        MyYield();
    }
    // A Cancel up to here, even during the last expansion, changes nothing.
    if (gfAbort) {
        DiscardFiles(&set);
        return 0;
    }
    int committed = CommitFiles(&set);
    return committed > 0 ? committed : 0;
}

int Install(HWND owner)
{
    DWORD platform = Platform();
    char pluginDir[PATH_SIZE] = "";
    char sourceDir[PATH_SIZE] = "";

    if (ShowModalDialog("Welcome", GenericDlgProc, owner, 0) != IDOK)
        return 0;
    if (ShowModalDialog("Platform", PlatformDlgProc, owner, (LPARAM)&platform) != IDOK)
        return 0;
    SourceDirectory(sourceDir);
    SetSpaceRequired(SpaceRequiredKB(platform, sourceDir));
    if (ShowModalDialog("PlugIn", PathDlgProc, owner, (LPARAM)pluginDir) != IDOK) {
        ShowModalDialog("Failure", GenericDlgProc, owner, 0);
        return 0;
    }

    // The page refuses directories without room for the names; should one
    // slip through anyway, its records fail with a message instead.
    if (!PreparePath(pluginDir))
        pluginDir[0] = '\0';

    ghStatus = CreateDialogParamA(ghInst, "Installing", owner, InstallDlgProc, 0);
    UpdateWindow(owner);

    int installed = CopyFiles(platform, sourceDir, pluginDir);
    if (!installed)
        gfAbort = 1;

    if (ghStatus)
        DestroyWindow(ghStatus);
    ghStatus = NULL;
    ShowModalDialog(gfAbort                        ? "Failure"
                    : installed == FILES_RESTART ? "Restart"
                                                   : "Done",
                    GenericDlgProc, owner, 0);
    return gfAbort ? 0 : 1;
}

INT_PTR CALLBACK InstallDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        CenterDialog(page);
        SendDlgItemMessageA(page, IDC_PROGRESS, GRAPH_SETRANGE, 0, MAKELPARAM(0, 100));
        SendDlgItemMessageA(page, IDC_PROGRESS, GRAPH_SETPOS, 1, 0);
        SetFocus(GetDlgItem(page, IDCANCEL));
        return FALSE;
    case WM_COMMAND:
        if (wParam == IDCANCEL) {
            gfAbort = 1;
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

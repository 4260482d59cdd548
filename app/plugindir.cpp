#include <windows.h>
#include <commdlg.h>

#include "app/plugindir.h"
#include "app/globals.h"
#include "app/paths.h"
#include "app/dialogs.h"
#include "app/pages.h"
#include "app/pathtext.h"
#include "app/platform.h"
#include "app/syslibs.h"
#include "resources/resource_ids.h"

static char *gpDir = NULL;          // the caller's buffer while the page runs
static int gLastDrive = -1;         // drive whose free space is shown
static int gDriveBound = 0;         // 0 until counted
static char gBrowse[PATH_SIZE];     // the Browse dialog's file buffer
static LONGLONG gRequiredKB = SPACE_REQUIRED_KB;

static const char kTooLong[] =
    "The directory name is too long.  Choose a directory of at most 146 characters.";

static const char kIni[] = "photos30.ini";

// Vista and later keep what a program that is not elevated writes into the
// Windows directory in the user's VirtualStore: the host's own copy of the
// file, named into path (MAX_PATH). 0 on older systems or when it does
// not fit.
static int VirtualStoreIni(char *path)
{
    if (LOBYTE(GetVersion()) < 6)
        return 0;
    typedef DWORD(WINAPI * EnvFn)(LPCSTR, LPSTR, DWORD);
    EnvFn env = KernelEntryAs<EnvFn>("GetEnvironmentVariableA");
    char windows[MAX_PATH];
    UINT w = GetWindowsDirectoryA(windows, MAX_PATH);
    DWORD n = env ? env("LOCALAPPDATA", path, MAX_PATH) : 0;
    if (!n || !w || n + w + 26 >= MAX_PATH)
        return 0;
    wsprintfA(path + n, "\\VirtualStore%s\\photos30.ini", windows + 2);
    return 1;
}

int CheckINI(char *dir)
{
    char store[MAX_PATH];
    const char *file = VirtualStoreIni(store) ? store : kIni;
    for (;;) {
        if (GetPrivateProfileStringA("Photoshop", "PlugInDirectory", "", dir, PATH_SIZE - 1, file))
            return 1;
        if (file == kIni)
            return 0;
        file = kIni;
    }
}

int DriveBound()
{
    if (!gDriveBound) {
        char root[4] = "A:\\";
        for (int d = 0; d < 26; d++) {
            root[0] = (char)('A' + d);
            UINT type = GetDriveTypeA(root);
            if (type != DRIVE_UNKNOWN && type != DRIVE_NO_ROOT_DIR)
                gDriveBound = d + 1;
        }
    }
    return gDriveBound;
}

// Rewrites an absolute path in place with every component spelled as the
// file system stores it and the drive letter in upper case.
static void SpellAsStored(char *path)
{
    if (!path[0] || path[1] != ':' || path[2] != '\\')
        return;
    if (path[0] >= 'a' && path[0] <= 'z')
        path[0] = (char)(path[0] - 'a' + 'A');
    for (char *start = path + 3; *start; ) {
        char *end = start;
        while (*end && *end != '\\')
            end = CharNextA(end);
        char saved = *end;
        *end = '\0';
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA(path, &fd);
        if (h != INVALID_HANDLE_VALUE) {
            FindClose(h);
            if (lstrlenA(fd.cFileName) == end - start)
                CopyMemory(start, fd.cFileName, end - start);
        }
        *end = saved;
        if (!saved)
            break;
        start = end + 1;
    }
}

// The current directory into out (PATH_SIZE) as the file system spells
// it; 0 and an empty out when it does not fit.
static int SpelledCurrentDirectory(char *out)
{
    DWORD len = GetCurrentDirectoryA(PATH_SIZE - 1, out);
    if (len == 0 || len >= PATH_SIZE - 1) {
        out[0] = '\0';
        return 0;
    }
    SpellAsStored(out);
    return 1;
}

// Changes into path and back; 1 when it could be entered. With out, the
// directory entered is read into it as SpelledCurrentDirectory does.
static int Enter(const char *path, char *out)
{
    char saved[MAX_PATH];
    DWORD len = GetCurrentDirectoryA(MAX_PATH, saved);
    if (len == 0 || len >= MAX_PATH)
        return 0;
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    int ok = SetCurrentDirectoryA(path) != 0;
    if (ok) {
        if (out)
            SpelledCurrentDirectory(out);
        SetCurrentDirectoryA(saved);
    }
    SetErrorMode(oldMode);
    return ok;
}

int testdir(const char *subpath, char *out)
{
    out[0] = '\0';
    char probe[MAX_PATH];
    if (lstrlenA(subpath) + 3 > MAX_PATH)
        return 0;
    probe[1] = ':';
    lstrcpyA(probe + 2, subpath);
    for (int d = 2; d < DriveBound() && !out[0]; d++) {
        probe[0] = (char)('a' + d);
        Enter(probe, out);
    }
    return out[0] != '\0';
}

int validdir(const char *path)
{
    while (*path == ' ')
        path++;
    return *path && Enter(path, NULL);
}

int DirectoryFits(const char *dir)
{
    return lstrlenA(dir) + !EndsInBackslash(dir) + MAX_TARGET_NAME < PATH_SIZE;
}

LONGLONG freespace(int drive)
{
    char root[4] = "A:\\";
    root[0] = (char)('A' + drive - 1);
    const char *path = drive > 0 ? root : NULL;
    // Where the system has it, the extended call tells the space this
    // user may fill on disks of any size; the classic one counts clusters.
    typedef BOOL(WINAPI * FreeSpaceExFn)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    FreeSpaceExFn freeSpaceEx = KernelEntryAs<FreeSpaceExFn>("GetDiskFreeSpaceExA");
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    ULONGLONG bytes = 0;
    BOOL ok;
    if (freeSpaceEx) {
        ULARGE_INTEGER avail, total, free;
        ok = freeSpaceEx(path, &avail, &total, &free);
        bytes = avail.QuadPart;
    } else {
        DWORD sectors = 0, sectorBytes = 0, freeClusters = 0, clusters = 0;
        ok = GetDiskFreeSpaceA(path, &sectors, &sectorBytes, &freeClusters, &clusters);
        bytes = (ULONGLONG)sectors * sectorBytes * freeClusters;
    }
    SetErrorMode(oldMode);
    if (!ok)
        return 0;
    return (LONGLONG)(bytes / 1024);
}

void freespacestr(LONGLONG kb, char *out)
{
    char digits[24];
    int n = 0;
    ULONGLONG value = kb < 0 ? 0 - (ULONGLONG)kb : (ULONGLONG)kb;
    // Least significant digit first, the point after the third.
    do {
        digits[n++] = (char)('0' + value % 10);
        value /= 10;
        if (n == 3)
            digits[n++] = '.';
    } while (value || n < 5);
    if (kb < 0)
        *out++ = '-';
    while (n)
        *out++ = digits[--n];
    lstrcpyA(out, " MB");
}

void SetSpaceRequired(LONGLONG kb)
{
    gRequiredKB = kb;
}

void ShowFreeSpace(HWND page, const char *path)
{
    char text[SPACE_TEXT_SIZE];
    int id = IDC_SPACE_REQUIRED;
    LONGLONG kb = gRequiredKB;
    if (path) {
        while (*path == ' ')
            path++;
        // A letter names its drive, colon or not; anything else the current
        // drive (0). An empty path names none (-1).
        int drive = -1;
        if (*path) {
            unsigned letter = (unsigned)((*path | 0x20) - 'a');
            drive = letter < 26 ? (int)letter + 1 : 0;
            if (drive == gLastDrive)
                return;
        }
        gLastDrive = drive;
        id = IDC_SPACE_FREE;
        kb = drive < 0 ? 0 : freespace(drive);
    }
    if (kb)
        freespacestr(kb, text);
    else
        lstrcpyA(text, "--");
    SetDlgItemTextA(page, id, text);
}

int FindDir(HWND page, char *dir)
{
    // Without the common dialog library Browse changes nothing.
    const ComDlgCalls *comDlg = GetComDlgCalls();
    if (!comDlg)
        return 0;
    OPENFILENAMEA ofn;
    ZeroMemory(&ofn, sizeof ofn);
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = page;
    ofn.hInstance = ghInst;
    ofn.lpstrFilter = "Plug-in's (*.8bf)\0*.8bf\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = gBrowse;
    ofn.nMaxFile = PATH_SIZE - 1;
    ofn.lpstrInitialDir = dir;
    ofn.lpstrTitle = "Plug-in's directory...";
    // Long names: NT 3.51's old-style dialog would otherwise show and hand
    // back a name with blanks in it in its short form (PROGRA~1). The
    // Explorer-style dialog of Windows 95 ignores the flag: it always uses
    // long names.
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOVALIDATE | OFN_PATHMUSTEXIST | OFN_LONGNAMES;
    if (!comDlg->pGetOpenFileNameA(&ofn))
        return 0;
    if (ofn.nFileOffset < PATH_SIZE)
        gBrowse[ofn.nFileOffset] = '\0';
    gBrowse[PATH_SIZE - 1] = '\0';
    lstrcpynA(dir, gBrowse, PATH_SIZE);
    if (!dir[0]) {
        DWORD len = GetCurrentDirectoryA(PATH_SIZE - 1, dir);
        if (len >= PATH_SIZE - 1)
            dir[0] = '\0';
    }
    return 1;
}

// Reads the edit text into the caller's buffer.
static void ReadField(HWND page)
{
    GetDlgItemTextA(page, IDC_PATH, gpDir, PATH_SIZE - 1);
}

// Reads the edit text into the caller's buffer and follows it with the
// Continue button and the free space.
static void TakeEditText(HWND page)
{
    ReadField(page);
    EnableWindow(GetDlgItem(page, IDOK), gpDir[0] != '\0');
    ShowFreeSpace(page, gpDir);
}

static void ProposeDirectory()
{
    SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_WAIT));
    if (!CheckINI(gpDir) && !testdir("\\photoshp\\plugins", gpDir) &&
        !testdir("\\win32app\\photoshp\\plugins", gpDir))
        lstrcpyA(gpDir, "c:\\plugins");
    SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_ARROW));
}

static void OnInitDialog(HWND page, char *dir)
{
    CenterDialog(page);
    gpDir = dir;
    if (gfScan)
        ProposeDirectory();
    SendDlgItemMessageA(page, IDC_PATH, EM_LIMITTEXT, PATH_SIZE - 1, 0);
    // The page's font lacks the characters of a double-byte code page; the
    // field takes the system's, which has them (the system font itself
    // where there is no such stock font).
    if (GetSystemMetrics(SM_DBCSENABLED))
        SendDlgItemMessageA(page, IDC_PATH, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), 0);
    // The new page's text is empty whatever an earlier page showed.
    gLastDrive = -1;
    ShowFreeSpace(page, NULL);
    // The field reports its new text, which the page then follows: the
    // Continue button and the free space.
    SetDlgItemTextA(page, IDC_PATH, gpDir);
    SetFocus(GetDlgItem(page, IDC_PATH));
}

// Drops leading and trailing blanks: the file system ignores them when
// the directory is entered or created, but not in the names of the files
// copied into it.
static void TrimBlanks(char *text)
{
    int skip = 0;
    while (text[skip] == ' ')
        skip++;
    int len = lstrlenA(text + skip);
    while (len > 0 && text[skip + len - 1] == ' ')
        len--;
    MoveMemory(text, text + skip, len);
    text[len] = '\0';
}

// 1 when the directory in the caller's buffer can be entered, made first
// when it is missing (only its last component can be). On NT the field
// holds the name as typed, in Unicode: one that the code page cannot spell
// comes out of the field as a look-alike that names no directory, and is
// made and entered by its short form.
static int UsableDirectory(HWND page)
{
    if (validdir(gpDir))
        return 1;
    typedef UINT(WINAPI * TextFn)(HWND, int, LPWSTR, int);
    typedef BOOL(WINAPI * MakeDirFn)(LPCWSTR, LPSECURITY_ATTRIBUTES);
    TextFn textW = reinterpret_cast<TextFn>(reinterpret_cast<void (*)(void)>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "GetDlgItemTextW")));
    MakeDirFn makeDir = KernelEntryAs<MakeDirFn>("CreateDirectoryW");
    WCHAR typed[PATH_SIZE];
    if (Platform() != PLATFORM_WINNT || !textW || !makeDir ||
        !textW(page, IDC_PATH, typed, PATH_SIZE - 1))
        return CreateDirectoryA(gpDir, NULL);
    // Leading blanks are dropped as from the buffer; the system drops
    // trailing ones itself.
    const WCHAR *name = typed;
    while (*name == ' ')
        name++;
    makeDir(name, NULL);
    if (!validdir(gpDir))
        ShortAnsiPath(name, gpDir);
    return validdir(gpDir);
}

static void OnContinue(HWND page)
{
    ReadField(page);
    TrimBlanks(gpDir);
    if (!DirectoryFits(gpDir)) {
        ShowAlertStr(kTooLong);
    } else if (UsableDirectory(page)) {
        EndDialog(page, IDOK);
        return;
    } else {
        ShowModalDialog("BadPath", BadPathDlgProc, page, (LPARAM)gpDir);
    }
    SetFocus(GetDlgItem(page, IDC_PATH));
}

static void OnBrowse(HWND page)
{
    ReadField(page);
    if (!FindDir(page, gpDir))
        return;
    // The field reports its new text, which the page then follows.
    SetDlgItemTextA(page, IDC_PATH, gpDir);
}

INT_PTR CALLBACK PathDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        OnInitDialog(page, (char *)lParam);
        return FALSE;
    }
    if (msg == WM_NCDESTROY)
        gpDir = NULL;
    if (msg != WM_COMMAND || !gpDir)
        return FALSE;
    int id = LOWORD(wParam), code = HIWORD(wParam);
    if (id == IDC_PATH && code == EN_CHANGE) {
        TakeEditText(page);
        return FALSE;
    }
    if (code != BN_CLICKED)
        return FALSE;
    switch (id) {
    case IDOK:       OnContinue(page); return TRUE;
    case IDCANCEL:   EndDialog(page, IDCANCEL); return TRUE;
    case IDC_BROWSE: OnBrowse(page); return TRUE;
    }
    return FALSE;
}

// fmt with its first "%s" replaced by arg, cut to fit out (size chars).
static void FormatPath(char *out, int size, const char *fmt, const char *arg)
{
    char *end = out + size - 1;
    const char *rest = NULL;    // the format after "%s" while arg is copied
    while (out < end && (*fmt || rest)) {
        if (!*fmt) {
            fmt = rest;
            rest = NULL;
        } else if (arg && fmt[0] == '%' && fmt[1] == 's') {
            rest = fmt + 2;
            fmt = arg;
            arg = NULL;
        } else {
            *out++ = *fmt++;
        }
    }
    *out = '\0';
}

INT_PTR CALLBACK BadPathDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: {
        CenterDialog(page);
        char format[63];
        char text[224];
        if (!SendDlgItemMessageA(page, IDC_MESSAGE, WM_GETTEXT, sizeof format, (LPARAM)format))
            format[0] = '\0';
        FormatPath(text, sizeof text, format, (const char *)lParam);
        SetDlgItemTextA(page, IDC_MESSAGE, text);
        SetFocus(GetDlgItem(page, IDOK));
        return FALSE;
    }
    case WM_COMMAND:
        if (wParam == IDOK || wParam == IDCANCEL) {
            EndDialog(page, wParam);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

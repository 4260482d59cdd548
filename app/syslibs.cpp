#include <windows.h>

#include "app/syslibs.h"
#include "app/filecopy.h"
#include "app/pathtext.h"
#include "app/platform.h"

namespace {

// One library: its file name, the entry points wanted from it and what
// became of them.
struct Binding {
    const char *pUsual;           // file name in the system directory
    const char *pName;            // the name bound on next use
    const char *const *pEntries;  // entry point names, nEntries of them
    int nEntries;
    FARPROC *pProcs;              // their addresses once bound
    HMODULE hModule;
    int state;                    // 0 not tried yet, 1 bound, -1 missing
};

const char *const kLZEntries[] = {"LZStart", "LZInit", "CopyLZFile", "LZClose", "LZDone"};
const char *const kComDlgEntries[] = {"GetOpenFileNameA"};
const int kLZCount = sizeof kLZEntries / sizeof kLZEntries[0];
const int kComDlgCount = sizeof kComDlgEntries / sizeof kComDlgEntries[0];

FARPROC gLZProcs[kLZCount];
FARPROC gComDlgProcs[kComDlgCount];

Binding gLibs[SYSLIB_COUNT] = {
    {"lz32.dll", "lz32.dll", kLZEntries, kLZCount, gLZProcs, NULL, 0},
    {"comdlg32.dll", "comdlg32.dll", kComDlgEntries, kComDlgCount, gComDlgProcs, NULL, 0},
};

LZCalls gLZ;
ComDlgCalls gComDlg;
decltype(&GetOpenFileNameA) gOpenFileStandIn = NULL;
EntryLookup gLookup = NULL;

// A resolved address as the typed pointer it stands for.
template <class F> void Take(F &slot, FARPROC proc)
{
    slot = reinterpret_cast<F>(reinterpret_cast<void (*)(void)>(proc));
}

// Binds a library once; 1 when it and every wanted entry point were found.
int Bind(Binding &lib)
{
    if (lib.state != 0)
        return lib.state > 0;
    lib.state = -1;
    HMODULE module = LoadSystemLibrary(lib.pName);
    if (!module)
        return 0;
    // The module stays loaded even when an entry is missing: it costs
    // nothing, and a later rebinding never unloads what may be in use.
    lib.hModule = module;
    for (int i = 0; i < lib.nEntries; i++) {
        lib.pProcs[i] = GetProcAddress(module, lib.pEntries[i]);
        if (!lib.pProcs[i])
            return 0;
    }
    lib.state = 1;
    return 1;
}

} // namespace

FARPROC KernelEntry(const char *name)
{
    if (gLookup)
        return gLookup(name);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? GetProcAddress(kernel, name) : NULL;
}

void SysLibsLookup(EntryLookup lookup)
{
    gLookup = lookup;
}

int RestrictDllSearch(void)
{
    typedef BOOL(WINAPI * SetDirectoriesFn)(DWORD);
    SetDirectoriesFn setDirectories = KernelEntryAs<SetDirectoriesFn>("SetDefaultDllDirectories");
    if (!setDirectories)
        return 0;
    return setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) ? 1 : 0;
}

// Loads the library whose full path is given, if the file is there.
static HMODULE LoadFullPath(const char *path)
{
    // A missing file is not handed to the loader, which on the oldest
    // systems may say so in a message box of its own.
    if (!FileExist(path))
        return NULL;
    // The search flags exist only where SetDefaultDllDirectories does;
    // older systems refuse them, and there the altered search path looks
    // for the library's own imports in the library's folder first. Where
    // LoadLibraryExA is missing (Win32s) or fails all the same, the full
    // path alone keeps a library elsewhere from being taken.
    typedef HMODULE(WINAPI * LoadLibraryExFn)(LPCSTR, HANDLE, DWORD);
    LoadLibraryExFn loadEx = KernelEntryAs<LoadLibraryExFn>("LoadLibraryExA");
    HMODULE module = NULL;
    if (loadEx && KernelEntry("SetDefaultDllDirectories"))
        module = loadEx(path, NULL, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module && loadEx)
        module = loadEx(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module)
        module = LoadLibraryA(path);
    return module;
}

HMODULE LoadSystemLibrary(const char *name)
{
    char path[MAX_PATH];
    UINT len = GetSystemDirectoryA(path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH)
        return NULL;
    if (!EndsInBackslash(path))
        path[len++] = '\\';
    // Win32s keeps its 32-bit libraries in WIN32S below the system
    // directory; the system directory itself holds the 16-bit ones.
    static const char kWin32s[] = "win32s\\";
    const int nameLen = lstrlenA(name);
    if (Platform() == PLATFORM_WIN31 && len + sizeof kWin32s - 1 + nameLen < MAX_PATH) {
        lstrcpyA(path + len, kWin32s);
        lstrcpyA(path + len + sizeof kWin32s - 1, name);
        HMODULE module = LoadFullPath(path);
        if (module)
            return module;
    }
    if (len + nameLen >= MAX_PATH)
        return NULL;
    lstrcpyA(path + len, name);
    return LoadFullPath(path);
}

int SystemFileProtected(const char *path)
{
    typedef BOOL(WINAPI * ProtectedFn)(HANDLE, LPCWSTR);
    typedef int(WINAPI * WideFn)(UINT, DWORD, LPCSTR, int, LPWSTR, int);
    FARPROC proc = NULL;
    if (gLookup) {
        proc = gLookup("SfcIsFileProtected");
    } else if (HMODULE sfc = LoadSystemLibrary("sfc.dll")) {
        proc = GetProcAddress(sfc, "SfcIsFileProtected");
    }
    ProtectedFn isProtected = NULL;
    Take(isProtected, proc);
    WideFn widen = KernelEntryAs<WideFn>("MultiByteToWideChar");
    WCHAR wide[MAX_PATH];
    return isProtected && widen && widen(CP_ACP, 0, path, -1, wide, MAX_PATH) &&
           isProtected(NULL, wide);
}

const LZCalls *GetLZCalls(void)
{
    if (!Bind(gLibs[SYSLIB_LZ]))
        return NULL;
    Take(gLZ.pLZStart, gLZProcs[0]);
    Take(gLZ.pLZInit, gLZProcs[1]);
    Take(gLZ.pCopyLZFile, gLZProcs[2]);
    Take(gLZ.pLZClose, gLZProcs[3]);
    Take(gLZ.pLZDone, gLZProcs[4]);
    return &gLZ;
}

const ComDlgCalls *GetComDlgCalls(void)
{
    if (gOpenFileStandIn) {
        gComDlg.pGetOpenFileNameA = gOpenFileStandIn;
        return &gComDlg;
    }
    if (!Bind(gLibs[SYSLIB_COMDLG]))
        return NULL;
    Take(gComDlg.pGetOpenFileNameA, gComDlgProcs[0]);
    return &gComDlg;
}

HMODULE SysLibModule(int lib)
{
    if (lib < 0 || lib >= SYSLIB_COUNT)
        return NULL;
    return gLibs[lib].state > 0 ? gLibs[lib].hModule : NULL;
}

void SysLibsUse(const char *lzName, const char *comDlgName)
{
    gOpenFileStandIn = NULL;
    const char *names[SYSLIB_COUNT] = {lzName, comDlgName};
    for (int i = 0; i < SYSLIB_COUNT; i++) {
        Binding &lib = gLibs[i];
        lib.pName = names[i] ? names[i] : lib.pUsual;
        lib.hModule = NULL;
        lib.state = 0;
        for (int j = 0; j < lib.nEntries; j++)
            lib.pProcs[j] = NULL;
    }
}

void SysLibsStandInOpenFile(decltype(&GetOpenFileNameA) standIn)
{
    gOpenFileStandIn = standIn;
}

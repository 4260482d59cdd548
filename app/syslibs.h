// The system libraries the installer calls into, bound at run time and
// only from the system directory. A library of the same name dropped
// beside setup.exe (an installer is run from download folders) or in the
// current directory is never loaded in their place, and the executable
// imports neither library, so the loader does not look for them either.
//
// Each library is loaded on first use and kept for the life of the
// process (the system unloads it at exit). A library or entry point that
// cannot be had is remembered as missing: its callers take their failure
// paths (the copy reports an internal error, Browse changes nothing).
#ifndef SETUP_APP_SYSLIBS_H
#define SETUP_APP_SYSLIBS_H

#include <windows.h>
#include <commdlg.h>
#include <lzexpand.h>

// Entry points of the LZ expansion library, lz32.dll.
struct LZCalls {
    decltype(&LZStart) pLZStart;
    decltype(&LZInit) pLZInit;
    decltype(&CopyLZFile) pCopyLZFile;
    decltype(&LZClose) pLZClose;
    decltype(&LZDone) pLZDone;
};

// Entry points of the common dialog library, comdlg32.dll.
struct ComDlgCalls {
    decltype(&GetOpenFileNameA) pGetOpenFileNameA;
};

enum { SYSLIB_LZ, SYSLIB_COMDLG, SYSLIB_COUNT };

// Limits the search for libraries loaded later to the system directory,
// where the platform offers that (SetDefaultDllDirectories). 1 when the
// search was limited, 0 on a platform without the call or when it failed.
int RestrictDllSearch(void);

// Loads the named library by its full path from the system directory (on
// Win32s from its WIN32S folder first); the libraries it needs are looked
// for there first. Null on failure.
HMODULE LoadSystemLibrary(const char *name);

// An entry point of the system's KERNEL32 that not every platform has,
// looked up at run time; null where it is missing.
FARPROC KernelEntry(const char *name);
// The same, as the typed function pointer F.
template <class F> F KernelEntryAs(const char *name)
{
    return reinterpret_cast<F>(reinterpret_cast<void (*)(void)>(KernelEntry(name)));
}

// 1 when the system protects the file at path from being replaced (Windows
// Resource Protection, asked through sfc.dll where there is one), else 0.
int SystemFileProtected(const char *path);

// For tests: KERNEL32's entry points (and sfc.dll's) are looked up through lookup instead
// of GetProcAddress (null: GetProcAddress again), so that a test can take
// a newer call away or stand a failing one in its place.
typedef FARPROC (*EntryLookup)(const char *name);
void SysLibsLookup(EntryLookup lookup);

// The entry points of each library, every one of them resolved, or null
// when the library or one of its entries cannot be had.
const LZCalls *GetLZCalls(void);
const ComDlgCalls *GetComDlgCalls(void);

// The module a library was bound from; null while unbound or missing.
HMODULE SysLibModule(int lib);

// For tests: forgets the bindings and any stand-in, and binds, on next
// use, the given file names in the system directory instead (null for the
// usual name; a name is kept by its pointer). Modules already loaded stay
// loaded.
void SysLibsUse(const char *lzName, const char *comDlgName);

// For tests: Browse calls standIn in place of the library's file dialog
// until the next SysLibsUse (null: the library again).
void SysLibsStandInOpenFile(decltype(&GetOpenFileNameA) standIn);

#endif

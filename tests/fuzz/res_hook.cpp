#include "tests/fuzz/res_hook.h"


namespace {

// The one resource being served.
LPCSTR gType = NULL;
const void *gData = NULL;
DWORD gSize = 0;
int gFinds = 0, gLoads = 0, gFrees = 0;

// A handle value that is no real resource: the address of this marker.
char gResInfo, gResData;

bool SameType(LPCSTR a, LPCSTR b)
{
    if (IS_INTRESOURCE(a) || IS_INTRESOURCE(b))
        return a == b;
    return lstrcmpiA(a, b) == 0;
}

HRSRC WINAPI FakeFind(HMODULE, LPCSTR, LPCSTR type)
{
    gFinds++;
    return gData && SameType(type, gType) ? (HRSRC)&gResInfo : NULL;
}

HGLOBAL WINAPI FakeLoad(HMODULE, HRSRC info)
{
    gLoads++;
    return info == (HRSRC)&gResInfo ? (HGLOBAL)&gResData : NULL;
}

LPVOID WINAPI FakeLock(HGLOBAL res)
{
    return res == (HGLOBAL)&gResData ? (LPVOID)gData : NULL;
}

DWORD WINAPI FakeSizeof(HMODULE, HRSRC info)
{
    return info == (HRSRC)&gResInfo ? gSize : 0;
}

BOOL WINAPI FakeFree(HGLOBAL)
{
    gFrees++;
    return FALSE;
}

} // namespace

// The five import entries, each pointed at its stand-in while the hook lives.
ResourceHook::ResourceHook()
    : find_("FindResourceA", (void *)FakeFind), load_("LoadResource", (void *)FakeLoad),
      lock_("LockResource", (void *)FakeLock), size_("SizeofResource", (void *)FakeSizeof),
      free_("FreeResource", (void *)FakeFree)
{
}

ResourceHook::~ResourceHook()
{
    gData = NULL;
    gType = NULL;
}

void ResourceHook::Serve(LPCSTR type, const void *data, DWORD size)
{
    gType = type;
    gData = data;
    gSize = size;
    gFinds = gLoads = gFrees = 0;
}

int ResourceHook::finds() const { return gFinds; }
int ResourceHook::loads() const { return gLoads; }
int ResourceHook::frees() const { return gFrees; }

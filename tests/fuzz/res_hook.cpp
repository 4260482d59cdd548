#include "tests/fuzz/res_hook.h"

#include <cstring>

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

struct Entry {
    const char *name;
    void *fake;
    void *original;
    void **slot;
};

Entry gEntries[] = {
    {"FindResourceA", (void *)FakeFind, NULL, NULL},
    {"LoadResource", (void *)FakeLoad, NULL, NULL},
    {"LockResource", (void *)FakeLock, NULL, NULL},
    {"SizeofResource", (void *)FakeSizeof, NULL, NULL},
    {"FreeResource", (void *)FakeFree, NULL, NULL},
};
const int kEntries = sizeof gEntries / sizeof gEntries[0];

void Write(void **slot, void *value)
{
    DWORD old = 0;
    if (VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) {
        *slot = value;
        VirtualProtect(slot, sizeof *slot, old, &old);
    }
}

// Finds the import slots of the five functions in this executable, afresh
// for every hook: a second hook in the same process finds them again.
int FindSlots()
{
    for (Entry &e : gEntries)
        e.slot = NULL;
    BYTE *base = (BYTE *)GetModuleHandleA(NULL);
    IMAGE_DOS_HEADER *dos = (IMAGE_DOS_HEADER *)base;
    IMAGE_NT_HEADERS *nt = (IMAGE_NT_HEADERS *)(base + dos->e_lfanew);
    IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress)
        return 0;
    int found = 0;
    for (IMAGE_IMPORT_DESCRIPTOR *d = (IMAGE_IMPORT_DESCRIPTOR *)(base + dir.VirtualAddress);
         d->Name; d++) {
        if (!d->OriginalFirstThunk)
            continue;
        IMAGE_THUNK_DATA *names = (IMAGE_THUNK_DATA *)(base + d->OriginalFirstThunk);
        IMAGE_THUNK_DATA *slots = (IMAGE_THUNK_DATA *)(base + d->FirstThunk);
        for (; names->u1.AddressOfData; names++, slots++) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            IMAGE_IMPORT_BY_NAME *byName = (IMAGE_IMPORT_BY_NAME *)(base + names->u1.AddressOfData);
            for (Entry &e : gEntries)
                if (!e.slot && strcmp((const char *)byName->Name, e.name) == 0) {
                    e.slot = (void **)&slots->u1.Function;
                    found++;
                }
        }
    }
    return found;
}

} // namespace

ResourceHook::ResourceHook() : patched_(0)
{
    if (FindSlots() != kEntries)
        return;
    for (Entry &e : gEntries) {
        e.original = *e.slot;
        Write(e.slot, e.fake);
        if (*e.slot == e.fake)
            patched_++;
    }
}

ResourceHook::~ResourceHook()
{
    for (Entry &e : gEntries)
        if (e.slot && e.original)
            Write(e.slot, e.original);
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

// Serves a resource from memory of the test's choosing to the loaders of
// this executable: the module's import entries for FindResourceA,
// LoadResource, LockResource, SizeofResource and FreeResource are pointed
// at stand-ins while a ResourceHook lives. The stand-ins find exactly one
// resource (any name, the given type) whose bytes are the blob handed to
// Serve, so a test can put the blob against an inaccessible page and prove
// that a loader reads nothing beyond the resource.
#ifndef TESTS_FUZZ_RES_HOOK_H
#define TESTS_FUZZ_RES_HOOK_H

#include <windows.h>

#include "tests/support/import_hook.h"

class ResourceHook {
public:
    ResourceHook();
    ~ResourceHook();
    ResourceHook(const ResourceHook &) = delete;
    ResourceHook &operator=(const ResourceHook &) = delete;

    // 1 when all five import entries were redirected.
    int ok() const { return find_.ok() && load_.ok() && lock_.ok() && size_.ok() && free_.ok(); }

    // The next lookups of `type` (a string or MAKEINTRESOURCE) find size
    // bytes at data; other types are not found.
    void Serve(LPCSTR type, const void *data, DWORD size);

    // Lookups, loads and frees seen since Serve.
    int finds() const;
    int loads() const;
    int frees() const;

private:
    ImportHook find_, load_, lock_, size_, free_;
};

#endif

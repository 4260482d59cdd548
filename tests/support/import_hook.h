// Points one import entry of this executable (a system function the code
// under test calls, by name) at a stand-in while an ImportHook lives.
#ifndef TESTS_SUPPORT_IMPORT_HOOK_H
#define TESTS_SUPPORT_IMPORT_HOOK_H

#include <windows.h>

class ImportHook {
public:
    ImportHook(const char *function, void *standIn);
    ~ImportHook();
    ImportHook(const ImportHook &) = delete;
    ImportHook &operator=(const ImportHook &) = delete;

    bool ok() const { return slot_ != NULL; }
    // The function the entry held before.
    void *original() const { return original_; }

private:
    void **slot_;
    void *original_;
};

#endif

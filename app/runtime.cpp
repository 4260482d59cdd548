// The little the compiler needs from a runtime, for the shipped setup.exe,
// which links none: fixed local memory for new and delete
// (null when memory ran out, never an exception), and the block moves the
// compiler may call for structure copies and clears.
#include <windows.h>
#include <new>

namespace std {
const nothrow_t nothrow{};
}

// Fixed local memory is a plain pointer on every Win32 platform (on NT it
// comes from the process heap).
static void *Allocate(size_t size)
{
    return (void *)LocalAlloc(LMEM_FIXED, size ? size : 1);
}

static void Release(void *block)
{
    if (block)
        LocalFree((HLOCAL)block);
}

void *operator new(size_t size) { return Allocate(size); }
void *operator new[](size_t size) { return Allocate(size); }
void *operator new(size_t size, const std::nothrow_t &) noexcept { return Allocate(size); }
void *operator new[](size_t size, const std::nothrow_t &) noexcept { return Allocate(size); }
void operator delete(void *block) noexcept { Release(block); }
void operator delete[](void *block) noexcept { Release(block); }
void operator delete(void *block, size_t) noexcept { Release(block); }
void operator delete[](void *block, size_t) noexcept { Release(block); }

extern "C" {

// A pure virtual function called during construction or destruction.
void __cxa_pure_virtual(void)
{
    ExitProcess(3);
}

// Written as plain loops; the compiler must not turn them back into calls
// to themselves.
__attribute__((optimize("no-tree-loop-distribute-patterns")))
void *memset(void *dest, int value, size_t count)
{
    unsigned char *d = (unsigned char *)dest;
    while (count--)
        *d++ = (unsigned char)value;
    return dest;
}

__attribute__((optimize("no-tree-loop-distribute-patterns")))
void *memcpy(void *dest, const void *src, size_t count)
{
    unsigned char *d = (unsigned char *)dest;
    const unsigned char *s = (const unsigned char *)src;
    while (count--)
        *d++ = *s++;
    return dest;
}

__attribute__((optimize("no-tree-loop-distribute-patterns")))
void *memmove(void *dest, const void *src, size_t count)
{
    unsigned char *d = (unsigned char *)dest;
    const unsigned char *s = (const unsigned char *)src;
    if (d < s) {
        while (count--)
            *d++ = *s++;
    } else {
        while (count--)
            d[count] = s[count];
    }
    return dest;
}

} // extern "C"

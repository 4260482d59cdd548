// The floor for install time: a program that does nothing but expand the
// given files with the platform's LZ library, as the installer does, and
// (the durable floor) flush each to the disk, as the installer does before
// it replaces anything.
// bare_lzcopy [-f] SOURCE TARGET [SOURCE TARGET...]; -f flushes each target;
// prints the milliseconds the copies took, or "failed".
#include <windows.h>
#include <lzexpand.h>
#include <stdio.h>

int main(int argc, char **argv)
{
    int flush = argc > 1 && lstrcmpA(argv[1], "-f") == 0;
    DWORD start = GetTickCount();
    for (int i = 1 + flush; i + 1 < argc; i += 2) {
        OFSTRUCT from, to;
        INT src = LZOpenFileA(argv[i], &from, OF_READ);
        INT dst = LZOpenFileA(argv[i + 1], &to, OF_CREATE);
        LONG copied = (src >= 0 && dst >= 0) ? LZCopy(src, dst) : -1;
        if (copied >= 0 && flush && !FlushFileBuffers((HANDLE)(INT_PTR)dst))
            copied = -1;
        if (src >= 0)
            LZClose(src);
        if (dst >= 0)
            LZClose(dst);
        if (copied < 0) {
            printf("failed\n");
            return 1;
        }
    }
    printf("%lu\n", (unsigned long)(GetTickCount() - start));
    return 0;
}

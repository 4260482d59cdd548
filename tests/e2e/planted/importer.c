/* A program that imports lz32.dll and comdlg32.dll the ordinary way, so
   that the loader resolves them before main runs: started from a folder
   with planted copies beside it, it shows that the planted copies are
   taken unless a program binds them itself. Prints what LZStart gave. */
#include <windows.h>
#include <commdlg.h>
#include <lzexpand.h>
#include <stdio.h>

int main(int argc, char **argv)
{
    (void)argv;
    printf("LZStart %d\n", LZStart());
    LZDone();
    if (argc > 5) { /* never taken: only here so the import is kept */
        OPENFILENAMEA ofn;
        ZeroMemory(&ofn, sizeof ofn);
        GetOpenFileNameA(&ofn);
    }
    return 0;
}

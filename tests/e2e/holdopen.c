/* Test helper: opens a file without sharing and keeps it open for the
   given number of seconds, as another program holding a plug-in would.
   With a third argument it creates that file once the file is held, so
   that a test can wait for the moment instead of guessing it. */
#include <windows.h>
#include <stdlib.h>

int main(int argc, char **argv)
{
    if (argc < 3)
        return 2;
    HANDLE f = CreateFileA(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return 1;
    if (argc > 3) {
        HANDLE ready = CreateFileA(argv[3], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        if (ready != INVALID_HANDLE_VALUE)
            CloseHandle(ready);
    }
    Sleep((DWORD)atoi(argv[2]) * 1000);
    CloseHandle(f);
    return 0;
}

/* Test helper: opens a file without sharing and keeps it open for the
   given number of seconds, as another program holding a plug-in would. */
#include <windows.h>
#include <stdlib.h>

int main(int argc, char **argv)
{
    if (argc < 3)
        return 2;
    HANDLE f = CreateFileA(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return 1;
    Sleep((DWORD)atoi(argv[2]) * 1000);
    CloseHandle(f);
    return 0;
}

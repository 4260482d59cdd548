/* Test helper: the most trivial windowed program. It shows a window and
   ends with exit code 0. When a program under test ends at start, this one
   tells whether Wine and the display could start any program at that
   moment. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prev, LPSTR cmd, int show)
{
    (void)prev; (void)cmd; (void)show;
    HWND w = CreateWindowExA(0, "STATIC", "e2e probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             0, 0, 120, 60, NULL, NULL, instance, NULL);
    if (!w)
        return 1;
    UpdateWindow(w);
    DestroyWindow(w);
    return 0;
}

// The floor for start-up time: a Win32 program that does nothing but show
// one dialog from a template, built with the same compiler and flags.
#include <windows.h>

static INT_PTR CALLBACK BareDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == WM_INITDIALOG)
        return TRUE;
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(hwnd, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int)
{
    return (int)DialogBoxParamA(inst, "BARE", NULL, BareDlgProc, 0);
}

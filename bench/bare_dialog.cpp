// The floors for start-up time, built with the same compiler and flags:
// - bare.exe shows one dialog from a template and nothing else;
// - backdrop.exe (built with BARE_BACKDROP) first shows a full-screen
//   window, as the installer does, and then the same dialog over it.
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

#ifdef BARE_BACKDROP
static HWND ShowBackdrop(HINSTANCE inst, int show)
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = "BareBackdrop";
    if (!RegisterClassA(&wc))
        return NULL;
    HWND window = CreateWindowExA(0, wc.lpszClassName, "Backdrop", WS_OVERLAPPEDWINDOW, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                  NULL, NULL, inst, NULL);
    if (window) {
        ShowWindow(window, show);
        UpdateWindow(window);
    }
    return window;
}
#endif

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int show)
{
    HWND owner = NULL;
#ifdef BARE_BACKDROP
    owner = ShowBackdrop(inst, show);
#else
    (void)show;
#endif
    return (int)DialogBoxParamA(inst, "BARE", owner, BareDlgProc, 0);
}

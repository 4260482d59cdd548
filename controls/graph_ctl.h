// MyGraphCtl: a sunken progress bar ("VelloxGraph") whose left part fills
// dark grey, with the percentage written across it in inverted colours.
#ifndef SETUP_CONTROLS_GRAPH_CTL_H
#define SETUP_CONTROLS_GRAPH_CTL_H

#include "controls/control_ctl.h"

// Messages: set the range (lParam low word bottom, high word top), set the
// position (lParam), get the position. A nonzero wParam repaints at once.
enum {
    GRAPH_SETRANGE = WM_USER,
    GRAPH_SETPOS = WM_USER + 1,
    GRAPH_GETPOS = WM_USER + 2
};
// Readers ask as of a standard progress bar (PBM_GETRANGE, PBM_GETPOS).

class MyGraphCtl : public MyControlCtl {
public:
    MyGraphCtl();
    ~MyGraphCtl() override;
    int OnCreate(HWND window, CREATESTRUCTA *create) override;
    void OnPaint(PAINTSTRUCT &paint) override;
    int OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result) override;
    const WCHAR *ProxyClass() override;   // a progress bar

    // Client x where the filled part ends.
    int PosToScreen();

    int nPos;   // kept within [nMin, nMax] when set by message
    int nMax;
    int nMin;

private:
    void DrawPercentage(HDC dc, int cw, int ch, const char *text);
};

#endif

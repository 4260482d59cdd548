// MyTextCtl: one line of text ("VelloxText"), plain on light grey or
// outlined over whatever lies beneath.
#ifndef SETUP_CONTROLS_TEXT_CTL_H
#define SETUP_CONTROLS_TEXT_CTL_H

#include "controls/control_ctl.h"

class MyTextCtl : public MyControlCtl {
public:
    MyTextCtl();
    ~MyTextCtl() override;
    // Reads the template text: "1," outlines, a leading "*" right-aligns.
    int OnCreate(HWND window, CREATESTRUCTA *create) override;
    void OnPaint(PAINTSTRUCT &paint) override;
    LRESULT OnEraseBackground(HDC dc) override;
    // WM_SETTEXT after creation invalidates; every message goes on.
    int OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result) override;
    const WCHAR *ProxyClass() override;   // "Static": read by its text

    int fOutline;      // draw with a white outline around black letters
    int fRightAlign;   // plain text right-aligned
    int fCreating;     // 1 until OnCreate has finished
};

#endif

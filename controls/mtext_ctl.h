// MyMTextCtl: a word-wrapped paragraph ("VelloxMText") on light grey, the
// template's literal text or a string resource.
#ifndef SETUP_CONTROLS_MTEXT_CTL_H
#define SETUP_CONTROLS_MTEXT_CTL_H

#include "controls/control_ctl.h"

// Size of the text buffer: 299 characters and the NUL.
enum { MTEXT_SIZE = 300 };

class MyMTextCtl : public MyControlCtl {
public:
    MyMTextCtl();
    ~MyMTextCtl() override;
    // Reads the template text: a leading "*" left-aligns, "~id" loads
    // string id. 0 when the text buffer cannot be had.
    int OnCreate(HWND window, CREATESTRUCTA *create) override;
    void OnPaint(PAINTSTRUCT &paint) override;
    LRESULT OnEraseBackground(HDC dc) override;
    // After creation WM_SETTEXT, WM_GETTEXT and WM_GETTEXTLENGTH work on
    // pText; WM_SETTEXT makes the window text what pText shows as well, for
    // those who read it from outside.
    int OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result) override;
    const WCHAR *ProxyClass() override;   // "Static": read by its text

    char *pText;     // owned, MTEXT_SIZE bytes, or null
    int fCentre;     // lines centred
    int fCreating;   // 1 until OnCreate has finished

private:
    LRESULT SetText(const char *text);
    LRESULT GetText(char *buffer, int size);
};

#endif

// MyCheckBoxCtl: a sunken box with a text beside it ("VelloxCheckBox"),
// in which a check mark grows in five steps when a click checks it.
// WM_USER sets the state (returning the old one), WM_USER + 1 reads it.
#ifndef SETUP_CONTROLS_CHECKBOX_CTL_H
#define SETUP_CONTROLS_CHECKBOX_CTL_H

#include "controls/control_ctl.h"
#include "graphics/sprite.h"

enum {
    CHECKBOX_SETSTATE = WM_USER,
    CHECKBOX_GETSTATE = WM_USER + 1,
    CHECKBOX_FRAME_MS = 90,
    CHECKBOX_CELLS = 6
};

class MyCheckBoxCtl : public MyControlCtl {
public:
    MyCheckBoxCtl();
    ~MyCheckBoxCtl() override;
    int OnCreate(HWND window, CREATESTRUCTA *create) override;
    void OnPaint(PAINTSTRUCT &paint) override;
    void OnLButtonDown(UINT keys, POINT *point) override;
    int OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result) override;
    // "Button": the template gives the window a check box's style, so that
    // readers announce a check box, with its state (BM_GETCHECK).
    const WCHAR *ProxyClass() override;

    // A click, by mouse, space bar or a reader: toggles and notifies.
    void Toggle();
    // Stores state (any nonzero value is checked) and shows it: unchecking
    // at once, checking at once or, with animate, in five steps 90 ms
    // apart. With notify, tells the parent afterwards.
    void SetState(int newState, int notify, int animate);

    Sprite sprite;    // the six cells of "CheckBox"; loaded at first paint
    int fChecked;
    int nFrame;       // cell shown: 0 empty to 5 full mark
    int fAnimating;   // 1 while the mark grows: paints touch only the mark
    int fOutline;     // text drawn outlined
};

#endif

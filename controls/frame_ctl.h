// MyFrameCtl: the sunken light grey panel of a page ("VelloxFrame").
#ifndef SETUP_CONTROLS_FRAME_CTL_H
#define SETUP_CONTROLS_FRAME_CTL_H

#include "controls/control_ctl.h"

class MyFrameCtl : public MyControlCtl {
public:
    MyFrameCtl();
    ~MyFrameCtl() override;
    int OnCreate(HWND window, CREATESTRUCTA *create) override;
    // Two-pixel sunken border round the client area, light grey inside.
    void OnPaint(PAINTSTRUCT &paint) override;
};

#endif

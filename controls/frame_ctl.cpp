#include "controls/frame_ctl.h"

#include <new>

#include "controls/control_class.h"

MyControlCtl *NewMyFrame(const char *className)
{
    if (!ControlClassNameIs(className, VELLOX_FRAME_CLASS))
        return NULL;
    return new (std::nothrow) MyFrameCtl;
}

MyFrameCtl::MyFrameCtl()
{
}

MyFrameCtl::~MyFrameCtl()
{
}

int MyFrameCtl::OnCreate(HWND window, CREATESTRUCTA *create)
{
    hWnd = window;
    fEnabled = 1;
    hFocus = 0;
    return 1;
}

void MyFrameCtl::OnPaint(PAINTSTRUCT &paint)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    rc.right -= 1;
    rc.bottom -= 1;
    Ctl3dBox(paint.hdc, rc, (HBRUSH)GetStockObject(LTGRAY_BRUSH));
}

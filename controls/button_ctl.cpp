#include "controls/button_ctl.h"

#include <new>

#include "controls/control_class.h"
#include "controls/control_res.h"
#include "graphics/sprite.h"

namespace {

const COLORREF kMagenta = RGB(255, 0, 255);

} // namespace

MyControlCtl *NewMyButton(const char *className)
{
    if (!ControlClassNameIs(className, VELLOX_BUTTON_CLASS))
        return NULL;
    return new (std::nothrow) MyButtonCtl;
}

MyButtonCtl::MyButtonCtl() : sprite(NULL), state(0)
{
    picture[0] = '\0';
}

MyButtonCtl::~MyButtonCtl()
{
    delete sprite;
}

int MyButtonCtl::ReadPictureName(char *name, int size)
{
    name[0] = '\0';
    LRESULT got = SendMessageA(hWnd, WM_GETTEXT, (WPARAM)size, (LPARAM)name);
    return got > 0 ? 1 : 0;
}

void MyButtonCtl::FitWindow(CREATESTRUCTA *create, int faceWidth, int faceHeight, int extra,
                            int shift, BOOL repaint)
{
    RECT rc;
    GetWindowRect(hWnd, &rc);
    POINT corner = {rc.left, rc.top};
    ScreenToClient(create ? create->hwndParent : GetParent(hWnd), &corner);
    const int templateWidth = rc.right - rc.left;
    // C++ division truncates toward zero, as the layout expects.
    const int left = corner.x + (templateWidth - faceWidth + shift) / 2;
    MoveWindow(hWnd, left, corner.y, faceWidth + extra, faceHeight + extra, repaint);
}

int MyButtonCtl::OnCreate(HWND window, CREATESTRUCTA *create)
{
    hWnd = window;
    fEnabled = 1;
    hFocus = 0;
    sprite = new (std::nothrow) Sprite;
    ReadPictureName(picture, sizeof picture);
    SetWindowTextA(hWnd, "");
    if (!LoadPicture())
        return 0;
    FitWindow(create, sprite->FrameWidth(), sprite->FrameHeight(), 0, 0, FALSE);
    return 1;
}

int MyButtonCtl::LoadPicture()
{
    if (!sprite || !picture[0])
        return 0;
    sprite->Unload();
    HINSTANCE module = MyButton ? MyButton->ResourceInstance() : NULL;
    return sprite->Load(module, picture, NULL, kMagenta, 2, SafeLoadBitmap);
}

int MyButtonCtl::LooksPressed() const
{
    return (state & (BUTTON_PUSHED | BUTTON_KEY | BUTTON_TRACKING)) != 0 &&
           (state & BUTTON_OUTSIDE) == 0;
}

void MyButtonCtl::OnPaint(PAINTSTRUCT &paint)
{
    if (!sprite)
        return;
    sprite->Animate(paint.hdc, 0, 0, LooksPressed() ? 1 : 0);
}

void MyButtonCtl::SetState(int mask, int on)
{
    if (on)
        state |= mask;
    else
        state &= ~mask;
    Repaint();
}

int MyButtonCtl::GetState(int mask) const
{
    return (state & mask) == mask ? 1 : 0;
}

void MyButtonCtl::ButtonPressed()
{
    state &= ~(BUTTON_PUSHED | BUTTON_KEY | BUTTON_TRACKING | BUTTON_OUTSIDE);
    Repaint();
    WPARAM wParam = MAKEWPARAM(GetDlgCtrlID(hWnd) & 0xFFFF, BN_CLICKED);
    SendMessageA(GetParent(hWnd), WM_COMMAND, wParam, (LPARAM)hWnd);
}

void MyButtonCtl::OnLButtonDown(UINT keys, POINT *point)
{
    if (!fEnabled || !InMe(point) || (state & BUTTON_PUSHED))
        return;
    // Only a button that the keyboard reaches takes the focus: a picture
    // is no place for it.
    if ((GetWindowLongA(hWnd, GWL_STYLE) & WS_TABSTOP) && GetFocus() != hWnd)
        SetFocus(hWnd);
    SetState(BUTTON_TRACKING, 1);
    SetCapture(hWnd);
}

void MyButtonCtl::OnMouseMove(UINT keys, POINT *point)
{
    if (!fEnabled || !(state & BUTTON_TRACKING) || CaptureLost())
        return;
    SetState(BUTTON_OUTSIDE, InMe(point) ? 0 : 1);
}

void MyButtonCtl::OnLButtonUp(UINT keys, POINT *point)
{
    if (!fEnabled || !(state & BUTTON_TRACKING) || CaptureLost())
        return;
    // Tracking ends before the capture goes, so that the WM_CAPTURECHANGED
    // that ReleaseCapture sends is not taken for a lost one. The face is
    // repainted below.
    const int inside = !(state & BUTTON_OUTSIDE);
    state &= ~BUTTON_TRACKING;
    ReleaseCapture();
    if (inside) {
        ButtonPressed();
    } else {
        SetState(BUTTON_TRACKING, 0);
        SetState(BUTTON_OUTSIDE, 0);
    }
}

void MyButtonCtl::CancelTracking()
{
    if (!(state & BUTTON_TRACKING))
        return;
    SetState(BUTTON_TRACKING | BUTTON_OUTSIDE, 0);
    if (GetCapture() == hWnd)
        ReleaseCapture();
}

int MyButtonCtl::CaptureLost()
{
    if (!(state & BUTTON_TRACKING) || GetCapture() == hWnd)
        return 0;
    CancelTracking();
    return 1;
}

void MyButtonCtl::OnLButtonDblClk(UINT keys, POINT *point)
{
    OnLButtonDown(keys, point);
}

int MyButtonCtl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result)
{
    switch (message) {
    case WM_GETDLGCODE:
        // With the focus it is the default button, so Enter presses it.
        *result = DLGC_BUTTON | (GetFocus() == hWnd ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        return 1;
    case WM_KEYDOWN:
        // The space bar presses as the mouse does; the click comes when it
        // is let go. The key's repeats change nothing.
        if (wParam == VK_SPACE && !(lParam & 0x40000000))
            SetState(BUTTON_KEY, 1);
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && (state & BUTTON_KEY))
            ButtonPressed();
        return 0;
    case WM_KILLFOCUS:
        state &= ~BUTTON_KEY;   // up again at the next paint, no click
        return 0;
    case BM_CLICK:
        ButtonPressed();
        return 1;
    case BM_GETSTATE:
        *result = GetState(BUTTON_PUSHED);
        return 1;
    case BM_SETSTATE:
        SetState(BUTTON_PUSHED, wParam != 0);
        return 0;   // the default procedure sees it too
    case WM_CAPTURECHANGED:
        // Another window took the mouse (a page popped up, the user
        // switched tasks): the press ends without a click.
        if ((HWND)lParam != hWnd)
            CancelTracking();
        return 0;
    case WM_CANCELMODE:
        CancelTracking();
        return 0;
    case WM_PALETTECHANGED:
        // Sent on by the page when the colours have moved.
        LoadPicture();
        return 0;
    default:
        return 0;
    }
}

#include "controls/control_ctl.h"

#include "controls/control_access.h"
#include "controls/control_mgr.h"

MyControlCtl::MyControlCtl() : hWnd(NULL), fEnabled(0), hFocus(0)
{
}

MyControlCtl::~MyControlCtl()
{
}

int MyControlCtl::InMe(POINT *point)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    return PtInRect(&rc, *point) ? 1 : 0;
}

void MyControlCtl::Repaint()
{
    InvalidateRect(hWnd, NULL, FALSE);
    UpdateWindow(hWnd);
}

int MyControlCtl::GetTextWidth(HDC dc, const char *text, int count)
{
    SIZE size;
    if (count <= 0 || !GetTextExtentPointA(dc, text, count, &size))
        return 0;
    return size.cx;
}

void MyControlCtl::Ctl3dBox(HDC dc, RECT rect, HBRUSH fill)
{
    // Four runs of three points: inner top-left, inner bottom-right, outer
    // bottom-right, outer top-left. Each point is a side of the rectangle
    // for x (0 left, 2 right) and for y (1 top, 3 bottom), each with an
    // offset. Like LineTo, Polyline leaves each run's last point out.
    static const signed char kRuns[12][4] = {
        {0, 1, 3, -2}, {0, 1, 1, 1}, {2, -1, 1, 1},
        {0, 1, 3, -1}, {2, -1, 3, -1}, {2, -1, 1, 0},
        {0, 0, 3, 0}, {2, 0, 3, 0}, {2, 0, 1, -1},
        {0, 0, 3, -1}, {0, 0, 1, 0}, {2, 0, 1, 0}};
    const LONG *side = &rect.left;
    POINT runs[12];
    for (int i = 0; i < 12; i++) {
        runs[i].x = side[kRuns[i][0]] + kRuns[i][1];
        runs[i].y = side[kRuns[i][2]] + kRuns[i][3];
    }
    // A grey pen that cannot be had leaves the one before in use.
    const HGDIOBJ pens[4] = {GetStockObject(BLACK_PEN),
                             ControlMgr ? ControlMgr->GetLightGreyPen() : NULL,
                             GetStockObject(WHITE_PEN),
                             ControlMgr ? ControlMgr->GetDarkGreyPen() : NULL};
    HGDIOBJ previous = SelectObject(dc, pens[0]);
    for (int i = 0; i < 4; i++) {
        if (pens[i])
            SelectObject(dc, pens[i]);
        Polyline(dc, runs + 3 * i, 3);
    }
    SelectObject(dc, previous);

    if (fill) {
        InflateRect(&rect, -2, -2);
        rect.right += 1;
        rect.bottom += 1;
        FillRect(dc, &rect, fill);
    }
}

int MyControlCtl::OnCreate(HWND window, CREATESTRUCTA *create)
{
    hWnd = window;
    return 1;
}

LRESULT MyControlCtl::OnEraseBackground(HDC dc)
{
    return 0;
}

void MyControlCtl::OnEnable(WPARAM enable)
{
    fEnabled = (int)enable;
}

void MyControlCtl::OnFocus(WPARAM other)
{
    hFocus = other;
    // The focus rectangle comes or goes at the next paint (also when the
    // keyboard cues change, which this is called for as well). Not at once:
    // a picture painted before the page would keep a wrong background.
    InvalidateRect(hWnd, NULL, FALSE);
}

void MyControlCtl::OnLButtonDown(UINT keys, POINT *point) {}
void MyControlCtl::OnLButtonUp(UINT keys, POINT *point) {}
void MyControlCtl::OnLButtonDblClk(UINT keys, POINT *point) {}
void MyControlCtl::OnRButtonDown(UINT keys, POINT *point) {}
void MyControlCtl::OnRButtonUp(UINT keys, POINT *point) {}
void MyControlCtl::OnMouseMove(UINT keys, POINT *point) {}

int MyControlCtl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result)
{
    return 0;
}

const WCHAR *MyControlCtl::ProxyClass()
{
    return NULL;
}

void MyControlCtl::DrawFocus(HDC dc, const RECT *rc)
{
    // Systems before the keyboard cues answer 0: the focus always shows.
    if (GetFocus() == hWnd && !(SendMessageA(hWnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS))
        DrawFocusRect(dc, rc);
}

LRESULT MyControlCtl::SendNotify(WORD code, WORD value)
{
    WORD id = (WORD)(GetDlgCtrlID(hWnd) & 0xFFFF);
    return SendMessageA(GetParent(hWnd), WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)(DWORD)value);
}

const char *MyControlCtl::pickOff(const char *src, char sep, char *dst, int size)
{
    int kept = 0;
    while (*src && *src != sep) {
        if (kept < size - 2)
            dst[kept++] = *src;
        src++;
    }
    if (size >= 2)
        dst[kept] = '\0';
    // The scan stopped at the separator or at the end; only a separator is
    // stepped over (a NUL separator is the end, never passed).
    return *src ? src + 1 : src;
}

int MyControlCtl::HasChar(const char *text, char c)
{
    while (*text && *text != c)
        text++;
    return *text != '\0';
}

void MyControlCtl::OutlineText(HDC dc, int x, int y, const char *text, COLORREF outline,
                               COLORREF color)
{
    // Left, right, above, below in the outline colour; then the letters.
    static const signed char offsets[5][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {0, 0}};
    int length = lstrlenA(text);
    COLORREF previous = SetTextColor(dc, outline);
    for (int i = 0; i < 5; i++) {
        if (i == 4)
            SetTextColor(dc, color);
        TextOutA(dc, x + offsets[i][0], y + offsets[i][1], text, length);
    }
    SetTextColor(dc, previous);
}

void MyControlCtl::KillIcon(HICON *icon)
{
    if (*icon) {
        DestroyIcon(*icon);
        *icon = NULL;
    }
}

void MyControlCtl::KillObject(HGDIOBJ *object)
{
    if (*object) {
        DeleteObject(*object);
        *object = NULL;
    }
}

void MyControlCtl::Wait(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
    }
}

// Mouse position from lParam, each half sign-extended: negative while the
// mouse is captured outside the window.
static POINT MousePoint(LPARAM lParam)
{
    POINT point;
    point.x = (short)LOWORD(lParam);
    point.y = (short)HIWORD(lParam);
    return point;
}

static LRESULT OnCreateMessage(HWND window, WPARAM wParam, LPARAM lParam)
{
    MyControlCtl *object = ControlMgr ? ControlMgr->Allocate(window) : NULL;
    MyControlMgr::SetWindowObject(window, object);
    if (object)
        object->OnCreate(window, (CREATESTRUCTA *)lParam);
    return DefWindowProcA(window, WM_CREATE, wParam, lParam);
}

static LRESULT OnPaintMessage(HWND window, MyControlCtl *object, WPARAM wParam, LPARAM lParam)
{
    if (object) {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        object->OnPaint(paint);
        EndPaint(window, &paint);
    }
    return DefWindowProcA(window, WM_PAINT, wParam, lParam);
}

static LRESULT OnNcDestroyMessage(HWND window, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = DefWindowProcA(window, WM_NCDESTROY, wParam, lParam);
    MyControlCtl *object = MyControlMgr::GetWindowObject(window);
    if (object) {
        delete object;
        MyControlMgr::SetWindowObject(window, NULL);
    }
    return result;
}

LRESULT CALLBACK MyControlWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        MyControlMgr::SetWindowObject(window, NULL);
    if (message == WM_CREATE)
        return OnCreateMessage(window, wParam, lParam);

    MyControlCtl *object = MyControlMgr::GetWindowObject(window);
    if (object) {
        LRESULT result = 0;
        if (object->OnMessage(message, wParam, lParam, &result))
            return result;
        object = MyControlMgr::GetWindowObject(window);
    }
    // Without an object (any more) the system's handling is all there is.
    if (!object)
        return DefWindowProcA(window, message, wParam, lParam);

    // The mouse messages, WM_MOUSEMOVE to WM_RBUTTONUP, in their order.
    static void (MyControlCtl::*const kMouse[])(UINT, POINT *) = {
        &MyControlCtl::OnMouseMove, &MyControlCtl::OnLButtonDown, &MyControlCtl::OnLButtonUp,
        &MyControlCtl::OnLButtonDblClk, &MyControlCtl::OnRButtonDown, &MyControlCtl::OnRButtonUp};
    if (message >= WM_MOUSEMOVE && message <= WM_RBUTTONUP) {
        POINT point = MousePoint(lParam);
        (object->*kMouse[message - WM_MOUSEMOVE])((UINT)wParam, &point);
    }
    switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE:   // the keyboard cues are shown or hidden
        object->OnFocus(wParam);
        break;
    case WM_ENABLE:      object->OnEnable(wParam); break;
    case WM_PAINT:       return OnPaintMessage(window, object, wParam, lParam);
    case WM_ERASEBKGND:  return object->OnEraseBackground((HDC)wParam);
    case WM_NCDESTROY:   return OnNcDestroyMessage(window, wParam, lParam);
    case WM_GETOBJECT: {
        LRESULT answer = StdAccessibleAnswer(window, object->ProxyClass(), wParam, lParam);
        if (answer)
            return answer;
        break;
    }
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

#include "controls/text_ctl.h"

#include <new>

#include "controls/control_class.h"
#include "controls/control_mgr.h"

// Template texts are read with room for 254 characters, drawn up to 62.
enum { TEXT_READ_SIZE = 255, TEXT_DRAW_SIZE = 63, TEXT_FIELD_SIZE = 63 };

MyControlCtl *NewMyText(const char *className)
{
    if (!ControlClassNameIs(className, VELLOX_TEXT_CLASS))
        return NULL;
    return new (std::nothrow) MyTextCtl;
}

MyTextCtl::MyTextCtl() : fOutline(0), fRightAlign(0), fCreating(1)
{
}

MyTextCtl::~MyTextCtl()
{
}

int MyTextCtl::OnCreate(HWND window, CREATESTRUCTA *create)
{
    hWnd = window;
    fEnabled = 1;
    fRightAlign = 0;
    fOutline = 0;

    char text[TEXT_READ_SIZE];
    text[0] = '\0';
    SendMessageA(hWnd, WM_GETTEXT, TEXT_READ_SIZE, (LPARAM)text);
    if (HasChar(text, ',')) {
        char field[TEXT_FIELD_SIZE];
        const char *next = pickOff(text, ',', field, TEXT_FIELD_SIZE);
        fOutline = field[0] == '1';
        pickOff(next, ',', field, TEXT_FIELD_SIZE);
        SendMessageA(hWnd, WM_SETTEXT, 0, (LPARAM)field);
    }

    text[0] = '\0';
    SendMessageA(hWnd, WM_GETTEXT, TEXT_READ_SIZE, (LPARAM)text);
    if (text[0] == '*') {
        fRightAlign = 1;
        SendMessageA(hWnd, WM_SETTEXT, 0, (LPARAM)(text + 1));
    }

    fCreating = 0;
    return 1;
}

void MyTextCtl::OnPaint(PAINTSTRUCT &paint)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    HFONT font = ControlMgr ? ControlMgr->GetFont() : NULL;
    if (!font)
        return;

    HDC dc = paint.hdc;
    HGDIOBJ previousFont = SelectObject(dc, font);
    int previousMode = SetBkMode(dc, TRANSPARENT);

    char text[TEXT_DRAW_SIZE];
    text[0] = '\0';
    SendMessageA(hWnd, WM_GETTEXT, TEXT_DRAW_SIZE, (LPARAM)text);
    if (fOutline) {
        int y = (rc.bottom - rc.top) / 2 - ControlMgr->FontHeight() / 2;
        OutlineText(dc, rc.left, y, text, RGB(255, 255, 255), RGB(0, 0, 0));
    } else {
        UINT format = DT_SINGLELINE | DT_VCENTER | (fRightAlign ? DT_RIGHT : 0);
        DrawTextA(dc, text, -1, &rc, format);
    }

    SetBkMode(dc, previousMode);
    SelectObject(dc, previousFont);
}

LRESULT MyTextCtl::OnEraseBackground(HDC dc)
{
    if (fOutline || fCreating)
        return 0;
    RECT rc;
    GetClientRect(hWnd, &rc);
    FillRect(dc, &rc, (HBRUSH)GetStockObject(LTGRAY_BRUSH));
    return 1;
}

int MyTextCtl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result)
{
    if (message == WM_SETTEXT && !fCreating)
        InvalidateRect(hWnd, NULL, TRUE);
    if (message == WM_GETDLGCODE) {
        // A label: the dialog finds its "&" letter and moves the focus on
        // to the field after it.
        *result = DLGC_STATIC;
        return 1;
    }
    return 0;
}

const WCHAR *MyTextCtl::ProxyClass()
{
    return L"Static";
}

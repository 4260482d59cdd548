#include "controls/mtext_ctl.h"

#include <new>

#include "controls/control_class.h"
#include "controls/control_mgr.h"
#include "controls/control_res.h"

// The template text is read with room for 298 characters.
enum { MTEXT_READ_SIZE = MTEXT_SIZE - 1 };

MyControlCtl *NewMyMText(const char *className)
{
    if (!ControlClassNameIs(className, VELLOX_MTEXT_CLASS))
        return NULL;
    return new (std::nothrow) MyMTextCtl;
}

MyMTextCtl::MyMTextCtl() : pText(NULL), fCentre(1), fCreating(1)
{
}

MyMTextCtl::~MyMTextCtl()
{
    delete[] pText;
}

// The decimal number a string id is written as, read as a 32-bit long:
// leading blanks, a sign, digits up to the first other character; 0 when
// there are none, the largest or smallest long when it does not fit.
static UINT StringNumber(const char *text)
{
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        text++;
    int negative = *text == '-';
    if (*text == '-' || *text == '+')
        text++;
    const DWORD limit = negative ? 0x80000000u : 0x7FFFFFFFu;
    DWORD value = 0;
    for (; *text >= '0' && *text <= '9'; text++) {
        DWORD digit = (DWORD)(*text - '0');
        value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
    }
    return negative ? 0 - value : value;
}

int MyMTextCtl::OnCreate(HWND window, CREATESTRUCTA *create)
{
    hWnd = window;
    fEnabled = 1;
    fCentre = 1;

    pText = new (std::nothrow) char[MTEXT_SIZE];
    if (!pText) {
        // Creation is over all the same: a later WM_SETTEXT tries again.
        fCreating = 0;
        return 0;
    }
    pText[0] = '\0';
    SendMessageA(hWnd, WM_GETTEXT, MTEXT_READ_SIZE, (LPARAM)pText);
    pText[MTEXT_SIZE - 1] = '\0';

    if (pText[0] == '*') {
        fCentre = 0;
        MoveMemory(pText, pText + 1, lstrlenA(pText));
    }
    if (pText[0] == '~') {
        UINT id = StringNumber(pText + 1);
        HINSTANCE module = MyMText ? MyMText->ResourceInstance() : ControlsInstance();
        SafeLoadString(module, id, pText, MTEXT_READ_SIZE);
    }
    SendMessageA(hWnd, WM_SETTEXT, 0, (LPARAM)pText);

    fCreating = 0;
    return 1;
}

void MyMTextCtl::OnPaint(PAINTSTRUCT &paint)
{
    if (!pText)
        return;
    RECT rc;
    GetClientRect(hWnd, &rc);
    HFONT font = ControlMgr ? ControlMgr->GetFont() : NULL;
    if (!font)
        return;

    HDC dc = paint.hdc;
    HGDIOBJ previousFont = SelectObject(dc, font);
    int previousMode = SetBkMode(dc, TRANSPARENT);
    UINT format = DT_WORDBREAK | DT_VCENTER | (fCentre ? DT_CENTER : 0);
    DrawTextA(dc, pText, -1, &rc, format);
    SetBkMode(dc, previousMode);
    SelectObject(dc, previousFont);
}

LRESULT MyMTextCtl::OnEraseBackground(HDC dc)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    FillRect(dc, &rc, (HBRUSH)GetStockObject(LTGRAY_BRUSH));
    return 1;
}

LRESULT MyMTextCtl::SetText(const char *text)
{
    lstrcpynA(pText, text ? text : "", MTEXT_SIZE);
    DefWindowProcA(hWnd, WM_SETTEXT, 0, (LPARAM)pText);
    InvalidateRect(hWnd, NULL, TRUE);
    UpdateWindow(hWnd);
    return 1;
}

LRESULT MyMTextCtl::GetText(char *buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    int count = lstrlenA(pText);
    if (count > size - 1)
        count = size - 1;
    CopyMemory(buffer, pText, count);
    buffer[count] = '\0';
    return count;
}

const WCHAR *MyMTextCtl::ProxyClass()
{
    return L"Static";
}

int MyMTextCtl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result)
{
    if (fCreating)
        return 0;
    switch (message) {
    case WM_SETTEXT:
        if (!pText)
            pText = new (std::nothrow) char[MTEXT_SIZE];
        if (!pText)
            return 0;
        *result = SetText((const char *)lParam);
        return 1;
    case WM_GETTEXT:
        if (!pText)
            return 0;
        *result = GetText((char *)lParam, (int)wParam);
        return 1;
    case WM_GETTEXTLENGTH:
        // The shown text, so that a buffer sized by GetWindowTextLength
        // holds all of what WM_GETTEXT gives.
        if (!pText)
            return 0;
        *result = lstrlenA(pText);
        return 1;
    default:
        return 0;
    }
}

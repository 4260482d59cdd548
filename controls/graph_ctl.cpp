#include "controls/graph_ctl.h"

#include <new>
#include <commctrl.h>

#include "controls/control_class.h"
#include "controls/control_mgr.h"

MyControlCtl *NewMyGraph(const char *className)
{
    if (!ControlClassNameIs(className, VELLOX_GRAPH_CLASS))
        return NULL;
    return new (std::nothrow) MyGraphCtl;
}

MyGraphCtl::MyGraphCtl() : nPos(50), nMax(100), nMin(0)
{
}

MyGraphCtl::~MyGraphCtl()
{
}

int MyGraphCtl::OnCreate(HWND window, CREATESTRUCTA *create)
{
    hWnd = window;
    fEnabled = 1;
    return 1;
}

int MyGraphCtl::PosToScreen()
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    return MulDiv(nPos - nMin, rc.right - 4, nMax - nMin) + 2;
}

void MyGraphCtl::OnPaint(PAINTSTRUCT &paint)
{
    HDC dc = paint.hdc;
    RECT rc;
    GetClientRect(hWnd, &rc);
    const int cw = rc.right, ch = rc.bottom;
    HBRUSH client = ControlMgr ? ControlMgr->GetClientBrush() : NULL;

    RECT box = {0, 0, cw - 1, ch - 1};
    Ctl3dBox(dc, box, client);

    // The bar never reaches over the frame, whatever the position.
    int x = PosToScreen();
    if (x < 2)
        x = 2;
    if (x > cw - 2)
        x = cw - 2;
    RECT filled = {2, 2, x, ch - 2};
    FillRect(dc, &filled, (HBRUSH)GetStockObject(DKGRAY_BRUSH));
    if (client) {
        RECT empty = {x, 2, cw - 2, ch - 2};
        FillRect(dc, &empty, client);
    }

    // The window text is the percentage shown, for readers.
    char text[16];
    wsprintfA(text, "%d%%", MulDiv(nPos, 100, nMax - nMin));
    SetWindowTextA(hWnd, text);
    DrawPercentage(dc, cw, ch, text);
}

// Writes the percentage into a one-bit mask and inverts the control's
// pixels under the glyphs.
void MyGraphCtl::DrawPercentage(HDC dc, int cw, int ch, const char *text)
{
    HFONT font = ControlMgr ? ControlMgr->GetFont() : NULL;
    if (!font || cw <= 0 || ch <= 0)
        return;
    HDC mask = CreateCompatibleDC(dc);
    if (!mask)
        return;
    HBITMAP bits = CreateCompatibleBitmap(mask, cw, ch);
    if (!bits) {
        DeleteDC(mask);
        return;
    }

    HGDIOBJ previousBitmap = SelectObject(mask, bits);
    RECT all = {0, 0, cw, ch};
    FillRect(mask, &all, (HBRUSH)GetStockObject(BLACK_BRUSH));
    HGDIOBJ previousFont = SelectObject(mask, font);
    SetBkMode(mask, TRANSPARENT);

    // The sample, not the text, is measured so the left edge stays put.
    int w50 = GetTextWidth(dc, "50%", 3);
    SetTextColor(mask, RGB(255, 255, 255));
    TextOutA(mask, (cw - 1 - w50) / 2, (ch - 1 - ControlMgr->FontHeight()) / 2, text,
             lstrlenA(text));

    BitBlt(dc, 0, 0, cw, ch, mask, 0, 0, SRCINVERT);

    SelectObject(mask, previousFont);
    SelectObject(mask, previousBitmap);
    DeleteObject(bits);
    DeleteDC(mask);
}

const WCHAR *MyGraphCtl::ProxyClass()
{
    return L"msctls_progress32";
}

int MyGraphCtl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result)
{
    switch (message) {
    case GRAPH_SETRANGE:
        nMin = LOWORD(lParam);
        nMax = HIWORD(lParam);
        break;
    case GRAPH_SETPOS: {
        int v = (int)lParam > nMin ? (int)lParam : nMin;
        nPos = v >= nMax ? nMax : v;
        break;
    }
    case GRAPH_GETPOS:
    case PBM_GETPOS:
        *result = nPos;
        return 1;
    case PBM_GETRANGE:
        if (lParam) {
            ((PBRANGE *)lParam)->iLow = nMin;
            ((PBRANGE *)lParam)->iHigh = nMax;
        }
        *result = wParam ? nMin : nMax;
        return 1;
    default:
        return 0;
    }
    if (wParam)
        Repaint();
    *result = 1;
    return 1;
}

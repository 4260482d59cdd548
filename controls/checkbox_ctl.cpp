#include "controls/checkbox_ctl.h"

#include <new>

#include "controls/control_class.h"
#include "controls/control_mgr.h"
#include "controls/control_res.h"

namespace {

const int kTextLeft = 22;
const int kTemplateTextSize = 255;
const int kFieldSize = 63;
const COLORREF kWhiteKey = RGB(255, 255, 255);

} // namespace

MyControlCtl *NewMyCheckBox(const char *className)
{
    if (!ControlClassNameIs(className, VELLOX_CHECKBOX_CLASS))
        return NULL;
    return new (std::nothrow) MyCheckBoxCtl;
}

MyCheckBoxCtl::MyCheckBoxCtl() : fChecked(0), nFrame(0), fAnimating(0), fOutline(0)
{
}

MyCheckBoxCtl::~MyCheckBoxCtl()
{
    sprite.AnimateDone(NULL, 0);
}

int MyCheckBoxCtl::OnCreate(HWND window, CREATESTRUCTA *create)
{
    hWnd = window;
    fEnabled = 1;
    hFocus = 0;
    fChecked = nFrame = fAnimating = 0;
    fOutline = 0;

    char text[kTemplateTextSize];
    text[0] = '\0';
    SendMessageA(hWnd, WM_GETTEXT, sizeof text, (LPARAM)text);
    if (HasChar(text, ',')) {
        char flag[kFieldSize], shown[kFieldSize];
        const char *rest = pickOff(text, ',', flag, sizeof flag);
        pickOff(rest, ',', shown, sizeof shown);
        fOutline = flag[0] == '1';
        SendMessageA(hWnd, WM_SETTEXT, 0, (LPARAM)shown);
    }
    return 1;
}

void MyCheckBoxCtl::OnPaint(PAINTSTRUCT &paint)
{
    HDC dc = paint.hdc;
    RECT rc;
    GetClientRect(hWnd, &rc);
    const int m = rc.bottom / 2;
    HFONT font = ControlMgr ? ControlMgr->GetFont() : NULL;

    // Plain text lies on the page's grey panel: the box paints the panel
    // under itself afresh, which also takes the last focus rectangle away.
    const int ownsBackground = !fAnimating && !fOutline;
    if (!fAnimating) {
        if (ownsBackground)
            FillRect(dc, &rc, (HBRUSH)GetStockObject(LTGRAY_BRUSH));
        if (font) {
            HGDIOBJ oldFont = SelectObject(dc, font);
            int oldMode = SetBkMode(dc, TRANSPARENT);
            RECT textRect = rc;
            textRect.left += kTextLeft;
            char text[kFieldSize];
            text[0] = '\0';
            GetWindowTextA(hWnd, text, sizeof text);
            if (fOutline) {
                int y = rc.bottom / 2 - ControlMgr->FontHeight() / 2;
                OutlineText(dc, kTextLeft, y, text, RGB(255, 255, 255), RGB(0, 0, 0));
            } else {
                DrawTextA(dc, text, -1, &textRect, DT_SINGLELINE | DT_VCENTER);
            }
            SetBkMode(dc, oldMode);
            SelectObject(dc, oldFont);
        }
        RECT box = {7, m - 6, 19, m + 6};
        Ctl3dBox(dc, box, ControlMgr ? ControlMgr->GetClientBrush() : NULL);
    }
    if (!sprite.IsLoaded()) {
        HINSTANCE module = MyCheckBox ? MyCheckBox->ResourceInstance() : NULL;
        sprite.Load(module, "CheckBox", NULL, kWhiteKey, CHECKBOX_CELLS, SafeLoadBitmap);
    }
    if (sprite.IsLoaded())
        sprite.Animate(dc, 4, m - 11, nFrame);
    if (ownsBackground)
        DrawFocus(dc, &rc);
}

void MyCheckBoxCtl::OnLButtonDown(UINT keys, POINT *point)
{
    if (InMe(point))
        Toggle();
}

void MyCheckBoxCtl::Toggle()
{
    if (fEnabled)
        SetState(fChecked ? 0 : 1, 1, 1);
}

const WCHAR *MyCheckBoxCtl::ProxyClass()
{
    return L"Button";
}

void MyCheckBoxCtl::SetState(int newState, int notify, int animate)
{
    fChecked = newState;
    if (!newState) {
        nFrame = 0;
        Repaint();
    } else if (!animate) {
        nFrame = CHECKBOX_CELLS - 1;
        Repaint();
    } else {
        fAnimating = 1;
        for (int cell = 1; cell < CHECKBOX_CELLS; cell++) {
            nFrame = cell;
            Repaint();
            if (cell == CHECKBOX_CELLS - 1)
                break;
            Wait(CHECKBOX_FRAME_MS);
        }
        fAnimating = 0;
    }
    if (notify)
        SendNotify(0, 0);
}

int MyCheckBoxCtl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result)
{
    switch (message) {
    case CHECKBOX_SETSTATE:
        *result = fChecked;
        SetState((int)wParam, 0, 0);
        return 1;
    case CHECKBOX_GETSTATE:
        *result = fChecked;
        return 1;
    case BM_GETCHECK:
    case BM_GETSTATE:
        *result = fChecked ? BST_CHECKED : BST_UNCHECKED;
        return 1;
    case BM_CLICK:
        Toggle();
        return 1;
    case WM_KEYDOWN:
        // The space bar clicks, once however long it is held.
        if (wParam == VK_SPACE && !(lParam & 0x40000000))
            Toggle();
        return 0;
    case WM_PALETTECHANGED:
        // Sent on by the page when the colours have moved: the mark's
        // cells are loaded afresh at the next paint.
        sprite.Unload();
        return 0;
    default:
        return 0;
    }
}

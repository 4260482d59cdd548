// MyControlCtl: the object behind one custom control window, and the one
// window procedure that forwards a control window's messages to it.
#ifndef SETUP_CONTROLS_CONTROL_CTL_H
#define SETUP_CONTROLS_CONTROL_CTL_H

#include <windows.h>

class MyControlCtl {
public:
    MyControlCtl();

    // Virtual operations, in this order.
    virtual int InMe(POINT *point);   // point in client coordinates
    virtual void Repaint();           // invalidate without erasing, update now
    virtual int GetTextWidth(HDC dc, const char *text, int count);
    // Sunken two-pixel box; right and bottom are inclusive. The inside is
    // filled with fill unless it is null.
    virtual void Ctl3dBox(HDC dc, RECT rect, HBRUSH fill);
    virtual ~MyControlCtl();
    virtual int OnCreate(HWND window, CREATESTRUCTA *create);
    virtual void OnPaint(PAINTSTRUCT &paint) = 0;
    virtual LRESULT OnEraseBackground(HDC dc);
    virtual void OnEnable(WPARAM enable);
    virtual void OnFocus(WPARAM other);
    virtual void OnLButtonDown(UINT keys, POINT *point);
    virtual void OnLButtonUp(UINT keys, POINT *point);
    virtual void OnLButtonDblClk(UINT keys, POINT *point);
    virtual void OnRButtonDown(UINT keys, POINT *point);
    virtual void OnRButtonUp(UINT keys, POINT *point);
    virtual void OnMouseMove(UINT keys, POINT *point);
    // Offered every message but WM_CREATE before any other handling;
    // nonzero means handled and *result is what the window returns.
    virtual int OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result);
    // The standard window class whose accessibility proxy speaks for the
    // control ("Button", "Static"...), answering from the control's own
    // messages; null for a decoration, which readers see as a bare client.
    virtual const WCHAR *ProxyClass();

    // WM_COMMAND to the parent: id in the low word of wParam, code in the
    // high word, value in lParam. Returns what the parent returned.
    LRESULT SendNotify(WORD code, WORD value);

    // Copies one field of src, up to sep or the end, into dst: at most
    // size - 2 characters and a NUL (nothing at all when size < 2). Returns
    // the position after the separator, or of the terminating NUL.
    static const char *pickOff(const char *src, char sep, char *dst, int size);
    // Nonzero when the text holds the character c.
    static int HasChar(const char *text, char c);
    // The text with a one-pixel outline: four passes in outline, then the
    // letters in color. Background mode is the caller's.
    static void OutlineText(HDC dc, int x, int y, const char *text, COLORREF outline,
                            COLORREF color);
    static void KillIcon(HICON *icon);
    static void KillObject(HGDIOBJ *object);
    // Spins until the tick count has moved on by milliseconds; no messages
    // are processed meanwhile. Safe across the counter's wrap-around.
    static void Wait(DWORD milliseconds);
    // Draws the focus rectangle rc when the control has the focus and the
    // window's keyboard cues do not hide it. Drawn inverted: every paint
    // that calls it must first have drawn the pixels under rc afresh.
    void DrawFocus(HDC dc, const RECT *rc);

    HWND hWnd;        // null until OnCreate
    int fEnabled;     // accepts mouse input
    WPARAM hFocus;    // the other window of the last focus change (or the
                      // wParam of the last WM_UPDATEUISTATE)

private:
    MyControlCtl(const MyControlCtl &);
    MyControlCtl &operator=(const MyControlCtl &);
};

LRESULT CALLBACK MyControlWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif

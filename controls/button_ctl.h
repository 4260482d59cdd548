// MyButtonCtl: a push button ("VelloxMyButt") whose face is a two-frame
// picture strip named by its window text: frame 0 up, frame 1 pressed.
// Tracks the mouse like a standard push button and sends BN_CLICKED.
#ifndef SETUP_CONTROLS_BUTTON_CTL_H
#define SETUP_CONTROLS_BUTTON_CTL_H

#include "controls/control_ctl.h"

class Sprite;

// Bits of MyButtonCtl::state.
enum {
    BUTTON_PUSHED = 0x1,     // pushed from outside (BM_SETSTATE)
    BUTTON_KEY = 0x2,        // held down with the space bar
    BUTTON_TRACKING = 0x4,   // pressed inside, mouse captured
    BUTTON_OUTSIDE = 0x8     // captured mouse is outside the button
};

class MyButtonCtl : public MyControlCtl {
public:
    MyButtonCtl();
    ~MyButtonCtl() override;
    int OnCreate(HWND window, CREATESTRUCTA *create) override;
    void OnPaint(PAINTSTRUCT &paint) override;
    void OnLButtonDown(UINT keys, POINT *point) override;
    void OnLButtonUp(UINT keys, POINT *point) override;
    void OnLButtonDblClk(UINT keys, POINT *point) override;
    void OnMouseMove(UINT keys, POINT *point) override;
    int OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result) override;
    // Sets (on nonzero) or clears the bits of mask, then repaints.
    virtual void SetState(int mask, int on);
    // Loads the face named by the window text, dropping the one it has:
    // a device bitmap shows the colours the palette held when it was made,
    // so after they have moved the face is loaded again. 1 when loaded.
    virtual int LoadPicture();

    // 1 when every bit of mask is set.
    int GetState(int mask) const;
    // Completes a click: clears the state, repaints up, then sends
    // WM_COMMAND (id, BN_CLICKED, window) to the parent.
    void ButtonPressed();
    int LooksPressed() const;
    // Ends a press that lost the mouse (WM_CAPTURECHANGED, WM_CANCELMODE):
    // back to the released face, capture let go, no click.
    void CancelTracking();
    // Ends a press whose mouse capture another window has taken; NT 3.51
    // and Win32s say so with no WM_CAPTURECHANGED. 1 when it ended one.
    int CaptureLost();

    Sprite *sprite;   // owned; null for the shadow button
    int state;
    // The picture's resource name, read from the template text. A picture
    // is a decoration: its window text is emptied so that readers do not
    // announce the resource name.
    char picture[31];

protected:
    // Reads the window text (the picture's name) into name; 0 when empty.
    int ReadPictureName(char *name, int size);
    // Moves the window to the picture's size plus extra, shifted by
    // (template width - face width + shift) / 2 from the template's left.
    void FitWindow(CREATESTRUCTA *create, int faceWidth, int faceHeight, int extra, int shift,
                   BOOL repaint);
};

#endif

// MyShadowButtonCtl: the push button of the message pages
// ("VelloxShadButt"). Its face floats over the dialog's texture and casts
// a textured drop shadow; pressing sinks the face toward the shadow.
#ifndef SETUP_CONTROLS_SHADOW_BUTTON_CTL_H
#define SETUP_CONTROLS_SHADOW_BUTTON_CTL_H

#include "controls/button_ctl.h"

class ShadowSprite;

enum {
    SHADOW_BUTTON_UP = 8,     // face to shadow distance when up
    SHADOW_BUTTON_DOWN = 2,   // ... when fully pressed
    SHADOW_BUTTON_FRAME_MS = 60
};

class MyShadowButtonCtl : public MyButtonCtl {
public:
    MyShadowButtonCtl();
    ~MyShadowButtonCtl() override;
    int OnCreate(HWND window, CREATESTRUCTA *create) override;
    void OnPaint(PAINTSTRUCT &paint) override;
    int LoadPicture() override;   // the face, with its shadow depth
    // Animates when the pressed look changes, else repaints.
    void SetState(int mask, int on) override;
    const WCHAR *ProxyClass() override;   // "Button": read by its lettering

    // Press (down nonzero: depths 8, 6, 4, 2) or release (2, 5, 8), each
    // frame painted at once and held for 60 ms (Wait). No messages meanwhile.
    void AnimateIt(int down);

    ShadowSprite *shadowSprite;   // owned
    int depth;                    // current face to shadow distance
    int animating;
};

#endif

#include "controls/shadow_button_ctl.h"

#include <new>

#include "controls/control_class.h"
#include "controls/control_res.h"
#include "graphics/dib_tex.h"
#include "graphics/shadow_sprite.h"
#include "graphics/tex_dlg.h"

namespace {

const COLORREF kMagenta = RGB(255, 0, 255);
const int kNameSize = 31;

} // namespace

MyControlCtl *NewMyShadowButton(const char *className)
{
    if (!ControlClassNameIs(className, VELLOX_SHADOW_BUTTON_CLASS))
        return NULL;
    return new (std::nothrow) MyShadowButtonCtl;
}

MyShadowButtonCtl::MyShadowButtonCtl()
    : shadowSprite(NULL), depth(SHADOW_BUTTON_UP), animating(0)
{
    state = 0;
}

MyShadowButtonCtl::~MyShadowButtonCtl()
{
    delete shadowSprite;
}

int MyShadowButtonCtl::OnCreate(HWND window, CREATESTRUCTA *create)
{
    hWnd = window;
    fEnabled = 1;
    hFocus = 0;
    shadowSprite = new (std::nothrow) ShadowSprite;
    if (!LoadPicture())
        return 0;
    // The window holds the face and its shadow; it sits 8 pixels right of
    // the centred place.
    FitWindow(create, shadowSprite->Width(), shadowSprite->Height(), SHADOW_BUTTON_UP,
              SHADOW_BUTTON_UP, TRUE);
    HWND dialog = create ? create->hwndParent : GetParent(hWnd);
    if (DlgTexture(dialog)) {
        POINT offset;
        DIBTex::ControlOffset(hWnd, offset);
        shadowSprite->ShadowTexture(DlgTexture, dialog, offset.x, offset.y);
    }
    return 1;
}

int MyShadowButtonCtl::LoadPicture()
{
    char name[kNameSize];
    if (!shadowSprite || !ReadPictureName(name, sizeof name))
        return 0;
    shadowSprite->Unload();
    HINSTANCE module = MyShadowButton ? MyShadowButton->ResourceInstance() : NULL;
    return shadowSprite->Load(module, name, kMagenta, SHADOW_BUTTON_UP, SafeLoadBitmap);
}

void MyShadowButtonCtl::OnPaint(PAINTSTRUCT &paint)
{
    if (!shadowSprite)
        return;
    if (!animating)
        depth = LooksPressed() ? SHADOW_BUTTON_DOWN : SHADOW_BUTTON_UP;
    // The shadow stays at (8, 8); the face moves toward it. The focus
    // rectangle goes round the face: each move puts back what lay under
    // the face before, so it never stays behind.
    const int at = SHADOW_BUTTON_UP - depth;
    if (shadowSprite->Animate(paint.hdc, at, at, depth)) {
        RECT face = {at, at, at + shadowSprite->Width(), at + shadowSprite->Height()};
        DrawFocus(paint.hdc, &face);
    }
}

const WCHAR *MyShadowButtonCtl::ProxyClass()
{
    return L"Button";
}

void MyShadowButtonCtl::SetState(int mask, int on)
{
    const int before = LooksPressed();
    if (on)
        state |= mask;
    else
        state &= ~mask;
    const int after = LooksPressed();
    if (before && !after)
        AnimateIt(0);
    else if (!before && after)
        AnimateIt(1);
    else
        Repaint();
}

void MyShadowButtonCtl::AnimateIt(int down)
{
    static const int pressDepths[] = {8, 6, 4, 2};
    static const int releaseDepths[] = {2, 5, 8};
    const int *depths = down ? pressDepths : releaseDepths;
    const int count = down ? 4 : 3;
    animating = 1;
    for (int i = 0; i < count; i++) {
        depth = depths[i];
        Repaint();
        Wait(SHADOW_BUTTON_FRAME_MS);
    }
    animating = 0;
}

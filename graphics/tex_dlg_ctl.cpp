#include "graphics/tex_dlg_ctl.h"

#include <new>

#include "controls/control_class.h"
#include "controls/control_mgr.h"
#include "graphics/tex_dlg.h"

MyControlCtl *NewMyTexDlg(const char *className)
{
    if (!ControlClassNameIs(className, VELLOX_TEXDLG_CLASS))
        return NULL;
    return new (std::nothrow) MyTexDlgCtl;
}

MyTexDlgCtl::MyTexDlgCtl() : texDlg(NULL)
{
}

MyTexDlgCtl::~MyTexDlgCtl()
{
    if (!texDlg)
        return;
    HWND dialog = texDlg->Dialog();
    delete texDlg;
    texDlg = NULL;
    RemovePropA(dialog, TEXDLG_CONTROL_PROP);
    SetDlgDIBTex(dialog, NULL);
}

int MyTexDlgCtl::OnCreate(HWND window, CREATESTRUCTA *create)
{
    hWnd = window;
    fEnabled = 1;
    hFocus = 0;

    char name[TEXTURE_NAME_SIZE];
    name[0] = '\0';
    if ((int)SendMessageA(hWnd, WM_GETTEXT, TEXTURE_NAME_SIZE, (LPARAM)name) <= 0)
        return 0;
    // The name is the texture's resource, nothing for a reader to announce.
    SetWindowTextA(hWnd, "");
    HWND dialog = GetParent(hWnd);
    // A second texture control would subclass the dialog with its own
    // procedure twice and loop forever: the first one keeps the dialog.
    if (!dialog || GetPropA(dialog, TEXDLG_CONTROL_PROP))
        return 0;

    HINSTANCE instance = MyTexDlg ? MyTexDlg->hInstance : NULL;
    HINSTANCE resInstance = MyTexDlg ? MyTexDlg->ResourceInstance() : NULL;
    texDlg = new (std::nothrow) TexDlg(dialog, instance, resInstance, name, 1);
    if (!texDlg)
        return 0;
    // Without the property the subclass procedure cannot find its painter:
    // the dialog gets its own procedure back and keeps its plain look.
    if (!SetPropA(dialog, TEXDLG_CONTROL_PROP, hWnd)) {
        delete texDlg;
        texDlg = NULL;
        return 0;
    }
    SetDlgDIBTex(dialog, &texDlg->Texture());
    return 1;
}

void MyTexDlgCtl::OnPaint(PAINTSTRUCT &paint)
{
}

// The painter of a textured dialog, found through its texture control.
static TexDlg *PainterOf(HWND dialog)
{
    HWND control = (HWND)GetPropA(dialog, TEXDLG_CONTROL_PROP);
    if (!control)
        return NULL;
    MyTexDlgCtl *object = (MyTexDlgCtl *)MyControlMgr::GetWindowObject(control);
    return object ? object->Painter() : NULL;
}

// A dialog whose painter is gone still has to work: its messages go to the
// procedure of its window class, the one it was created with.
static LRESULT CallClassProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC own = (WNDPROC)GetClassLongPtrA(dialog, GCLP_WNDPROC);
    if (!own || own == Tex_SubclassProc)
        return DefWindowProcA(dialog, message, wParam, lParam);
    return CallWindowProcA(own, dialog, message, wParam, lParam);
}

LRESULT CALLBACK Tex_SubclassProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    TexDlg *painter = PainterOf(dialog);
    WNDPROC previous = painter ? painter->PreviousProc() : NULL;
    if (!previous)
        return CallClassProc(dialog, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        return painter->OnPaint();
    case WM_ERASEBKGND:
        return 0;
    case WM_QUERYNEWPALETTE:
        return painter->Realize(0);
    case WM_PALETTECHANGED:
        // Another window's realization: this page's own needs nothing more.
        if ((HWND)wParam != dialog)
            painter->Realize(1);
        return 0;
    case WM_NCPAINT:
    case WM_NCACTIVATE: {
        // The system draws its frame and caption, for an activation change
        // without a WM_NCPAINT; the bevel goes back on top of it. A page
        // being hidden (EndDialog, DestroyWindow) gives up the activation
        // after it has left the screen: nothing of it is seen, nothing is
        // drawn, and showing it again brings a WM_NCPAINT.
        LRESULT result = CallWindowProcA(previous, dialog, message, wParam, lParam);
        if (IsWindowVisible(dialog))
            painter->OnNCPaint(message == WM_NCPAINT ? (HRGN)wParam : NULL);
        return result;
    }
    default:
        return CallWindowProcA(previous, dialog, message, wParam, lParam);
    }
}

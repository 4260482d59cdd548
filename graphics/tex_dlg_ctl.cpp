#include "graphics/tex_dlg_ctl.h"

#include <new>

#include "controls/control_class.h"
#include "controls/control_mgr.h"
#include "graphics/tex_dlg.h"

// Texture names are read with room for 62 characters.
enum { TEXTURE_NAME_SIZE = 63 };

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
    SetPropA(dialog, TEXDLG_CONTROL_PROP, hWnd);
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

LRESULT CALLBACK Tex_SubclassProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    TexDlg *painter = PainterOf(dialog);
    if (!painter || !painter->PreviousProc())
        return 0;
    WNDPROC previous = painter->PreviousProc();
    switch (message) {
    case WM_PAINT:
        return painter->OnPaint();
    case WM_ERASEBKGND:
        return 0;
    case WM_NCPAINT: {
        LRESULT result = CallWindowProcA(previous, dialog, message, wParam, lParam);
        painter->OnNCPaint((HRGN)wParam);
        return result;
    }
    default:
        return CallWindowProcA(previous, dialog, message, wParam, lParam);
    }
}

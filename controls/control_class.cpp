#include "controls/control_class.h"

#include <new>

#include "controls/control_ctl.h"

MyButtonClass *MyButton = NULL;
MyTexDlgClass *MyTexDlg = NULL;
MyFrameClass *MyFrame = NULL;
MyShadowButtonClass *MyShadowButton = NULL;
MyTextClass *MyText = NULL;
MyMTextClass *MyMText = NULL;
MyGraphClass *MyGraph = NULL;
MyCheckBoxClass *MyCheckBox = NULL;

// Init_Controls calls not yet matched by Terminate_Controls.
static int gControlsUseCount = 0;

// The module handed over by the program (SetControlsInstance), or null.
static HINSTANCE gControlsInstance = NULL;

void SetControlsInstance(HINSTANCE instance)
{
    gControlsInstance = instance;
}

HINSTANCE ControlsInstance()
{
    return gControlsInstance ? gControlsInstance : GetModuleHandleA(NULL);
}

int ControlClassNameIs(const char *name, const char *own)
{
    if (!name || !own)
        return 0;
    for (;; name++, own++) {
        char a = *name, b = *own;
        if (a >= 'a' && a <= 'z')
            a = (char)(a - 'a' + 'A');
        if (b >= 'a' && b <= 'z')
            b = (char)(b - 'a' + 'A');
        if (a != b)
            return 0;
        if (!a)
            return 1;
    }
}

MyControlClass::MyControlClass() : useCount(0), hInstance(NULL), hResInstance(NULL)
{
}

MyControlClass::~MyControlClass()
{
    // Derived destructors have unregistered already (see Release).
}

void MyControlClass::Release()
{
    if (useCount > 0) {
        UnregisterClassA(hInstance);
        useCount = 0;
    }
}

int MyControlClass::Init(HINSTANCE instance, HINSTANCE resInstance)
{
    useCount++;
    hInstance = instance;
    hResInstance = resInstance ? resInstance : instance;
    return RegisterClassA();
}

int MyControlClass::Terminate(HINSTANCE instance)
{
    useCount--;
    if (useCount > 0)
        return 0;
    useCount = 0;
    return UnregisterClassA(instance);
}

int MyControlClass::UnregisterClassA(HINSTANCE instance)
{
    return ::UnregisterClassA(ClassName(), instance) ? 1 : 0;
}

int MyControlClass::RegisterControlClass(LPCSTR cursor, ControlAllocator creator)
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_GLOBALCLASS;
    wc.lpfnWndProc = MyControlWndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = sizeof(LONG_PTR);   // the control object, index 0
    wc.hInstance = hInstance;
    wc.hIcon = NULL;
    wc.hCursor = LoadCursorA(NULL, cursor);
    wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    wc.lpszMenuName = NULL;
    wc.lpszClassName = ClassName();
    if (!::RegisterClassA(&wc))
        return 0;
    return ControlMgr ? ControlMgr->AddAllocator(creator) : 0;
}

MyButtonClass::~MyButtonClass() { Release(); }
int MyButtonClass::RegisterClassA() { return RegisterControlClass(IDC_ARROW, NewMyButton); }
const char *MyButtonClass::ClassName() { return VELLOX_BUTTON_CLASS; }

MyTexDlgClass::~MyTexDlgClass() { Release(); }
int MyTexDlgClass::RegisterClassA() { return RegisterControlClass(IDC_ARROW, NewMyTexDlg); }
const char *MyTexDlgClass::ClassName() { return VELLOX_TEXDLG_CLASS; }

MyFrameClass::~MyFrameClass() { Release(); }
int MyFrameClass::RegisterClassA() { return RegisterControlClass(IDC_ARROW, NewMyFrame); }
const char *MyFrameClass::ClassName() { return VELLOX_FRAME_CLASS; }

MyShadowButtonClass::~MyShadowButtonClass() { Release(); }
int MyShadowButtonClass::RegisterClassA() { return RegisterControlClass(IDC_ARROW, NewMyShadowButton); }
const char *MyShadowButtonClass::ClassName() { return VELLOX_SHADOW_BUTTON_CLASS; }

MyTextClass::~MyTextClass() { Release(); }
int MyTextClass::RegisterClassA() { return RegisterControlClass(IDC_ARROW, NewMyText); }
const char *MyTextClass::ClassName() { return VELLOX_TEXT_CLASS; }

MyMTextClass::~MyMTextClass() { Release(); }
int MyMTextClass::RegisterClassA() { return RegisterControlClass(IDC_ARROW, NewMyMText); }
const char *MyMTextClass::ClassName() { return VELLOX_MTEXT_CLASS; }

MyGraphClass::~MyGraphClass() { Release(); }
int MyGraphClass::RegisterClassA() { return RegisterControlClass(IDC_WAIT, NewMyGraph); }
const char *MyGraphClass::ClassName() { return VELLOX_GRAPH_CLASS; }

MyCheckBoxClass::~MyCheckBoxClass() { Release(); }
int MyCheckBoxClass::RegisterClassA() { return RegisterControlClass(IDC_ARROW, NewMyCheckBox); }
const char *MyCheckBoxClass::ClassName() { return VELLOX_CHECKBOX_CLASS; }

namespace {

// Makes a class object into its global; null when there is no memory.
template <class T, T *&global> MyControlClass *MakeClass()
{
    return global = new (std::nothrow) T;
}

// Unregisters the class and deletes its object through its own type (the
// class objects have no virtual destructor). The global is cleared, so a
// late user finds nothing rather than a freed object.
template <class T, T *&global> void TerminateClass()
{
    T *object = global;
    if (!object)
        return;
    // the module the class was registered for, even if another was handed
    // over since
    object->Terminate(object->hInstance);
    delete object;
    global = NULL;
}

// The classes in the order they are registered ...
MyControlClass *(*const kMakeClass[])() = {
    MakeClass<MyButtonClass, MyButton>,
    MakeClass<MyTexDlgClass, MyTexDlg>,
    MakeClass<MyFrameClass, MyFrame>,
    MakeClass<MyShadowButtonClass, MyShadowButton>,
    MakeClass<MyTextClass, MyText>,
    MakeClass<MyMTextClass, MyMText>,
    MakeClass<MyGraphClass, MyGraph>,
    MakeClass<MyCheckBoxClass, MyCheckBox>,
};

// ... and in the order they are taken down.
void (*const kTerminateClass[])() = {
    TerminateClass<MyCheckBoxClass, MyCheckBox>,
    TerminateClass<MyGraphClass, MyGraph>,
    TerminateClass<MyTextClass, MyText>,
    TerminateClass<MyMTextClass, MyMText>,
    TerminateClass<MyFrameClass, MyFrame>,
    TerminateClass<MyShadowButtonClass, MyShadowButton>,
    TerminateClass<MyTexDlgClass, MyTexDlg>,
    TerminateClass<MyButtonClass, MyButton>,
};

} // namespace

int Init_Controls()
{
    if (gControlsUseCount++ > 0)
        return 1;
    ControlMgr = new (std::nothrow) MyControlMgr;
    for (unsigned i = 0; i < sizeof kMakeClass / sizeof kMakeClass[0]; i++) {
        MyControlClass *object = kMakeClass[i]();
        if (object)
            object->Init(ControlsInstance(), NULL);
    }
    return 1;
}

int Terminate_Controls()
{
    // A call without a matching Init_Controls has nothing to take down.
    if (gControlsUseCount <= 0)
        return 1;
    if (--gControlsUseCount > 0)
        return 1;
    for (unsigned i = 0; i < sizeof kTerminateClass / sizeof kTerminateClass[0]; i++)
        kTerminateClass[i]();
    delete ControlMgr;
    ControlMgr = NULL;
    return 1;
}

// Window-class objects: one per custom control class. Each registers its
// window class with MyControlWndProc and adds its creator to ControlMgr.
#ifndef SETUP_CONTROLS_CONTROL_CLASS_H
#define SETUP_CONTROLS_CONTROL_CLASS_H

#include <windows.h>
#include "controls/control_mgr.h"

class MyControlClass {
public:
    MyControlClass();
    ~MyControlClass();

    // Virtual operations, in this order (no virtual destructor: the class
    // objects are deleted through their own types).
    virtual int RegisterClassA() = 0;
    // Counts the call, keeps the instances and registers (every time).
    virtual int Init(HINSTANCE instance, HINSTANCE resInstance);
    // Uncounts the call; unregisters when the count reaches 0.
    virtual int Terminate(HINSTANCE instance);
    virtual const char *ClassName() = 0;

    int UnregisterClassA(HINSTANCE instance);
    // Module the class's controls load bitmaps and strings from.
    HINSTANCE ResourceInstance() const { return hResInstance ? hResInstance : hInstance; }

    int useCount;
    HINSTANCE hInstance;
    HINSTANCE hResInstance;

protected:
    // Fills the window class every control class shares and registers it;
    // on success adds creator to ControlMgr. 1, or 0 on any failure.
    int RegisterControlClass(LPCSTR cursor, ControlAllocator creator);
    // Unregisters a still counted class. Derived destructors call it while
    // ClassName still answers for them.
    void Release();

private:
    MyControlClass(const MyControlClass &);
    MyControlClass &operator=(const MyControlClass &);
};

class MyButtonClass final : public MyControlClass {
public:
    ~MyButtonClass();
    int RegisterClassA() override;
    const char *ClassName() override;
};

class MyTexDlgClass final : public MyControlClass {
public:
    ~MyTexDlgClass();
    int RegisterClassA() override;
    const char *ClassName() override;
};

class MyFrameClass final : public MyControlClass {
public:
    ~MyFrameClass();
    int RegisterClassA() override;
    const char *ClassName() override;
};

class MyShadowButtonClass final : public MyControlClass {
public:
    ~MyShadowButtonClass();
    int RegisterClassA() override;
    const char *ClassName() override;
};

class MyTextClass final : public MyControlClass {
public:
    ~MyTextClass();
    int RegisterClassA() override;
    const char *ClassName() override;
};

class MyMTextClass final : public MyControlClass {
public:
    ~MyMTextClass();
    int RegisterClassA() override;
    const char *ClassName() override;
};

class MyGraphClass final : public MyControlClass {
public:
    ~MyGraphClass();
    int RegisterClassA() override;
    const char *ClassName() override;
};

class MyCheckBoxClass final : public MyControlClass {
public:
    ~MyCheckBoxClass();
    int RegisterClassA() override;
    const char *ClassName() override;
};

// The class objects, made by Init_Controls; null again after the last
// Terminate_Controls.
extern MyButtonClass *MyButton;
extern MyTexDlgClass *MyTexDlg;
extern MyFrameClass *MyFrame;
extern MyShadowButtonClass *MyShadowButton;
extern MyTextClass *MyText;
extern MyMTextClass *MyMText;
extern MyGraphClass *MyGraph;
extern MyCheckBoxClass *MyCheckBox;

// Window-class names.
#define VELLOX_BUTTON_CLASS "VelloxMyButt"
#define VELLOX_TEXDLG_CLASS "VelloxTexDlg"
#define VELLOX_FRAME_CLASS "VelloxFrame"
#define VELLOX_SHADOW_BUTTON_CLASS "VelloxShadButt"
#define VELLOX_TEXT_CLASS "VelloxText"
#define VELLOX_MTEXT_CLASS "VelloxMText"
#define VELLOX_GRAPH_CLASS "VelloxGraph"
#define VELLOX_CHECKBOX_CLASS "VelloxCheckBox"

// 1 when name equals own as a whole, letter case ignored; creators use it.
int ControlClassNameIs(const char *name, const char *own);

// Creators (ControlAllocator), each defined in its control's source file
// and declared only here.
MyControlCtl *NewMyButton(const char *className);
MyControlCtl *NewMyTexDlg(const char *className);
MyControlCtl *NewMyFrame(const char *className);
MyControlCtl *NewMyShadowButton(const char *className);
MyControlCtl *NewMyText(const char *className);
MyControlCtl *NewMyMText(const char *className);
MyControlCtl *NewMyGraph(const char *className);
MyControlCtl *NewMyCheckBox(const char *className);

// The module the control classes are registered for and load their
// resources from. The program hands over its instance handle at start;
// until then it is the module of the running program.
void SetControlsInstance(HINSTANCE instance);
HINSTANCE ControlsInstance();

// Bring the framework up and down; a shared use count makes nested calls
// only count, and a Terminate_Controls without a matching Init_Controls
// does nothing. Both return 1.
int Init_Controls();
int Terminate_Controls();

#endif

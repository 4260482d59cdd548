// MyControlMgr: builds the control object behind a new control window from
// its class name, and owns the pens, brush and font that all controls share.
#ifndef SETUP_CONTROLS_CONTROL_MGR_H
#define SETUP_CONTROLS_CONTROL_MGR_H

#include <windows.h>

class MyControlCtl;

// Builds a new control object when className names its class (whole name,
// case ignored); null for any other name or when memory ran out.
typedef MyControlCtl *(*ControlAllocator)(const char *className);

class MyControlMgr {
public:
    MyControlMgr();
    ~MyControlMgr();

    // Shared drawing objects, made at first use and owned by the manager:
    // select them and select the previous object back, never delete them.
    // Null when the system cannot make one; the next call tries again.
    HPEN GetLightGreyPen();
    HPEN GetDarkGreyPen();
    HPEN GetClientPen();
    HBRUSH GetClientBrush();
    HFONT GetFont();
    int FontHeight() const { return fontHeight; }

    // Creator list. A null slot is free; AddAllocator fills the first free
    // slot before it grows the list. 1 on success, 0 otherwise.
    int AddAllocator(ControlAllocator creator);
    int DelAllocator(ControlAllocator creator);
    int AllocatorCount() const { return allocatorCount; }
    ControlAllocator AllocatorAt(int index) const;

    // A new object for the window from the first creator that answers to
    // its class name, or null.
    MyControlCtl *Allocate(HWND window);

    // The object kept in the window's first extra long (index 0).
    static MyControlCtl *GetWindowObject(HWND window);
    static void SetWindowObject(HWND window, MyControlCtl *object);

private:
    MyControlMgr(const MyControlMgr &);
    MyControlMgr &operator=(const MyControlMgr &);

    ControlAllocator *allocators;   // owned; null until the first creator
    int allocatorCount;             // slots in allocators, used and free
    int fontHeight;                 // character height of the shared font
    HPEN hLightGreyPen;             // owned
    HPEN hDarkGreyPen;              // owned
    HPEN hClientPen;                // owned
    HBRUSH hClientBrush;            // owned
    HFONT hFont;                    // owned
};

// The one manager, from Init_Controls to Terminate_Controls (null outside).
extern MyControlMgr *ControlMgr;

#endif

#include "controls/control_mgr.h"


MyControlMgr *ControlMgr = NULL;

MyControlMgr::MyControlMgr()
    : allocators(NULL), allocatorCount(0), fontHeight(10), hLightGreyPen(NULL),
      hDarkGreyPen(NULL), hClientPen(NULL), hClientBrush(NULL), hFont(NULL)
{
}

MyControlMgr::~MyControlMgr()
{
    if (allocators)
        LocalFree((HLOCAL)allocators);
    if (hLightGreyPen)
        DeleteObject(hLightGreyPen);
    if (hDarkGreyPen)
        DeleteObject(hDarkGreyPen);
    if (hClientPen)
        DeleteObject(hClientPen);
    if (hClientBrush)
        DeleteObject(hClientBrush);
    if (hFont)
        DeleteObject(hFont);
}

HPEN MyControlMgr::GetLightGreyPen()
{
    if (!hLightGreyPen)
        hLightGreyPen = CreatePen(PS_SOLID, 0, RGB(192, 192, 192));
    return hLightGreyPen;
}

HPEN MyControlMgr::GetDarkGreyPen()
{
    if (!hDarkGreyPen)
        hDarkGreyPen = CreatePen(PS_SOLID, 0, RGB(128, 128, 128));
    return hDarkGreyPen;
}

HPEN MyControlMgr::GetClientPen()
{
    if (!hClientPen)
        hClientPen = CreatePen(PS_SOLID, 0, GetSysColor(COLOR_WINDOW));
    return hClientPen;
}

HBRUSH MyControlMgr::GetClientBrush()
{
    if (!hClientBrush)
        hClientBrush = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
    return hClientBrush;
}

HFONT MyControlMgr::GetFont()
{
    if (hFont)
        return hFont;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(LOGFONTA));
    if (!block)
        return NULL;
    LOGFONTA *font = (LOGFONTA *)GlobalLock(block);
    if (font) {
        font->lfHeight = -fontHeight;
        lstrcpynA(font->lfFaceName, "Helv", LF_FACESIZE);
        // The character set of the system's dialog font, and on double-byte
        // systems its face too: a path in a Japanese or Cyrillic code page
        // is then drawn in its own letters. Western systems keep Helv.
        LOGFONTA gui;
        HGDIOBJ guiFont = GetStockObject(DEFAULT_GUI_FONT);
        if (guiFont && GetObjectA(guiFont, sizeof gui, &gui)) {
            font->lfCharSet = gui.lfCharSet;
            if (GetSystemMetrics(SM_DBCSENABLED))
                lstrcpynA(font->lfFaceName, gui.lfFaceName, LF_FACESIZE);
        }
        hFont = CreateFontIndirectA(font);
        GlobalUnlock(block);
    }
    GlobalFree(block);
    return hFont;
}

int MyControlMgr::AddAllocator(ControlAllocator creator)
{
    if (!allocators) {
        allocators = (ControlAllocator *)LocalAlloc(LMEM_FIXED, sizeof(ControlAllocator));
        if (!allocators)
            return 0;
        allocatorCount = 1;
        allocators[0] = creator;
        return 1;
    }
    for (int i = 0; i < allocatorCount; i++) {
        if (!allocators[i]) {
            allocators[i] = creator;
            return 1;
        }
    }
    ControlAllocator *grown =
        (ControlAllocator *)LocalReAlloc((HLOCAL)allocators,
                                         (allocatorCount + 1) * sizeof(ControlAllocator), LMEM_MOVEABLE);
    if (!grown)
        return 0;
    allocators = grown;
    allocators[allocatorCount++] = creator;
    return 1;
}

int MyControlMgr::DelAllocator(ControlAllocator creator)
{
    if (!allocators)
        return 0;
    for (int i = 0; i < allocatorCount; i++) {
        if (allocators[i] == creator) {
            allocators[i] = NULL;
            return 1;
        }
    }
    return 0;
}

ControlAllocator MyControlMgr::AllocatorAt(int index) const
{
    if (!allocators || index < 0 || index >= allocatorCount)
        return NULL;
    return allocators[index];
}

MyControlCtl *MyControlMgr::Allocate(HWND window)
{
    char name[64];
    if (GetClassNameA(window, name, 63) == 0)
        return NULL;
    name[63] = '\0';
    for (int i = 0; i < allocatorCount; i++) {
        if (!allocators[i])
            continue;
        MyControlCtl *object = allocators[i](name);
        if (object)
            return object;
    }
    return NULL;
}

MyControlCtl *MyControlMgr::GetWindowObject(HWND window)
{
    return (MyControlCtl *)GetWindowLongPtrA(window, 0);
}

void MyControlMgr::SetWindowObject(HWND window, MyControlCtl *object)
{
    SetWindowLongPtrA(window, 0, (LONG_PTR)object);
}

/* Test helper: reads the controls of a window as a screen reader does,
   from its own process through the system's accessibility interface.
   readnames CAPTION prints one line per child window of the top-level
   window with that caption: its class, "|", the name a reader gets
   (AccessibleObjectFromWindow, client object). Exit code 2 when there is
   no such window. */
#define COBJMACROS
#include <windows.h>
#include <oleacc.h>
#include <stdio.h>

static const GUID kIAccessible = {0x618736E0, 0x3C3D, 0x11CF,
                                  {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

int main(int argc, char **argv)
{
    HWND top = argc > 1 ? FindWindowA(NULL, argv[1]) : NULL;
    if (!top)
        return 2;
    CoInitialize(NULL);
    for (HWND c = GetWindow(top, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[64] = "", text[600] = "(no name)";
        IAccessible *object = NULL;
        VARIANT self;
        BSTR name = NULL;
        GetClassNameA(c, cls, sizeof cls);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        if (FAILED(AccessibleObjectFromWindow(c, OBJID_CLIENT, &kIAccessible, (void **)&object)))
            lstrcpyA(text, "(no object)");
        else {
            HRESULT got = IAccessible_get_accName(object, self, &name);
            if (got == S_OK && name)
                WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof text, NULL, NULL);
            else if (got == S_FALSE)
                text[0] = '\0';   /* no name */
            SysFreeString(name);
            IAccessible_Release(object);
        }
        printf("%s|%s\n", cls, text);
    }
    CoUninitialize();
    return 0;
}

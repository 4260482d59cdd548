/* Test helper: readnames CAPTION prints, for each child of the top-level
   window with that caption, "class|name", the name a screen reader gets
   from another process (AccessibleObjectFromWindow, client object), in
   UTF-8; a field's line ends in "|" and the text it holds. */
#define COBJMACROS
#include <windows.h>
#include <oleacc.h>
#include <stdio.h>

static const GUID kIAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

int main(int argc, char **argv)
{
    HWND top = argc > 1 ? FindWindowA(NULL, argv[1]) : NULL, c;
    if (!top)
        return 2;
    CoInitialize(NULL);
    for (c = GetWindow(top, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[64] = "", text[600] = "(no object)";
        IAccessible *object = NULL;
        VARIANT self = {.vt = VT_I4};   /* CHILDID_SELF */
        BSTR name = NULL;
        GetClassNameA(c, cls, sizeof cls);
        if (SUCCEEDED(AccessibleObjectFromWindow(c, OBJID_CLIENT, &kIAccessible, (void **)&object))) {
            text[0] = '\0';
            if (IAccessible_get_accName(object, self, &name) == S_OK && name)
                WideCharToMultiByte(CP_UTF8, 0, name, -1, text, sizeof text, NULL, NULL);
            SysFreeString(name);
            IAccessible_Release(object);
        }
        if (!lstrcmpiA(cls, "Edit")) {   /* and what the field holds */
            WCHAR held[300] = L"";
            char shown[900] = "";
            SendMessageW(c, WM_GETTEXT, 300, (LPARAM)held);
            WideCharToMultiByte(CP_UTF8, 0, held, -1, shown, sizeof shown, NULL, NULL);
            printf("%s|%s|%s\n", cls, text, shown);
            continue;
        }
        printf("%s|%s\n", cls, text);
    }
    CoUninitialize();
    return 0;
}

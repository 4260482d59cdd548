/* Test helper: readnames CAPTION prints, for each child of the top-level
   window with that caption, "class|name" in UTF-8, the name a screen reader
   gets from another process; a field's line ends in "|" and what it holds. */
#define COBJMACROS
#include <windows.h>
#include <oleacc.h>
#include <stdio.h>

int main(int argc, char **argv)
{
    HWND top = argc > 1 ? FindWindowA(NULL, argv[1]) : NULL, c;
    if (!top)
        return 2;
    CoInitialize(NULL);
    for (c = GetWindow(top, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[64] = "", text[900] = "(no object)";
        IAccessible *object = NULL;
        VARIANT self = {.vt = VT_I4};   /* CHILDID_SELF */
        BSTR name = NULL;
        GetClassNameA(c, cls, sizeof cls);
        if (SUCCEEDED(AccessibleObjectFromWindow(c, OBJID_CLIENT, &IID_IAccessible, (void **)&object))) {
            text[0] = '\0';
            if (IAccessible_get_accName(object, self, &name) == S_OK && name)
                WideCharToMultiByte(CP_UTF8, 0, name, -1, text, sizeof text, NULL, NULL);
            SysFreeString(name);
            IAccessible_Release(object);
        }
        printf("%s|%s", cls, text);
        if (!lstrcmpiA(cls, "Edit")) {   /* and what the field holds */
            WCHAR held[300] = L"";
            SendMessageW(c, WM_GETTEXT, 300, (LPARAM)held);
            WideCharToMultiByte(CP_UTF8, 0, held, -1, text, sizeof text, NULL, NULL);
            printf("|%s", text);
        }
        printf("\n");
    }
    return 0;
}

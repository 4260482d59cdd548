#include "controls/control_access.h"

#include <unknwn.h>

namespace {

typedef HRESULT(WINAPI *ProxyFn)(HWND, LPCWSTR, LONG, REFIID, void **);
typedef LRESULT(WINAPI *LresultFn)(REFIID, WPARAM, LPUNKNOWN);
typedef HRESULT(WINAPI *ComInitFn)(LPVOID);

// IID_IAccessible, {618736E0-3C3D-11CF-810C-00AA00389B71}.
const GUID kIAccessible = {0x618736E0, 0x3C3D, 0x11CF,
                           {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

SystemLibraryLoader gLoader = NULL;
int gBound = 0;   // 0 not tried, 1 bound, -1 missing
ProxyFn gpProxy = NULL;
LresultFn gpLresult = NULL;

// Binds oleacc.dll's two entry points once. The proxies are COM objects
// that readers call from their own process: this thread joins COM first.
int Bind()
{
    if (gBound)
        return gBound > 0;
    gBound = -1;
    HMODULE oleacc = gLoader ? gLoader("oleacc.dll") : NULL;
    HMODULE ole32 = GetModuleHandleA("ole32.dll");   // oleacc's own import
    if (!oleacc || !ole32)
        return 0;
    gpProxy = (ProxyFn)(void *)GetProcAddress(oleacc, "CreateStdAccessibleProxyW");
    gpLresult = (LresultFn)(void *)GetProcAddress(oleacc, "LresultFromObject");
    ComInitFn comInit = (ComInitFn)(void *)GetProcAddress(ole32, "CoInitialize");
    if (!gpProxy || !gpLresult || !comInit)
        return 0;
    // A thread that has joined COM already (in any mode) can marshal too.
    comInit(NULL);
    gBound = 1;
    return 1;
}

} // namespace

void SetAccessLibraryLoader(SystemLibraryLoader loader)
{
    gLoader = loader;
    gBound = 0;
}

LRESULT StdAccessibleAnswer(HWND window, const WCHAR *proxyClass, WPARAM wParam, LPARAM lParam)
{
    if (!proxyClass || (DWORD)lParam != (DWORD)OBJID_CLIENT || !Bind())
        return 0;
    IUnknown *proxy = NULL;
    if (FAILED(gpProxy(window, proxyClass, OBJID_CLIENT, kIAccessible, (void **)&proxy)) || !proxy)
        return 0;
    LRESULT answer = gpLresult(kIAccessible, wParam, proxy);
    proxy->Release();   // the answer holds its own reference
    return answer > 0 ? answer : 0;
}

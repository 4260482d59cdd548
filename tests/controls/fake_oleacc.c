/* A stand-in for oleacc.dll: records which standard class's proxy a
   control asks for, and answers with an object whose references it counts.
   FakeProxyCalls reports and forgets what was recorded. */
#include <windows.h>
#include <unknwn.h>

static WCHAR gClass[64];
static LONG gCalls, gRefs, gObjectId;

static HRESULT STDMETHODCALLTYPE Query(IUnknown *self, REFIID riid, void **out)
{
    (void)self; (void)riid;
    *out = NULL;
    return E_NOINTERFACE;
}
static ULONG STDMETHODCALLTYPE AddRef(IUnknown *self) { (void)self; return ++gRefs; }
static ULONG STDMETHODCALLTYPE Release(IUnknown *self) { (void)self; return --gRefs; }
static IUnknownVtbl gVtbl = {Query, AddRef, Release};
static IUnknown gObject = {&gVtbl};

__declspec(dllexport) HRESULT WINAPI CreateStdAccessibleProxyW(HWND window, LPCWSTR cls, LONG id,
                                                              REFIID riid, void **out)
{
    (void)window; (void)riid;
    gCalls++;
    lstrcpynW(gClass, cls, 64);
    gObjectId = id;
    gRefs++;
    *out = &gObject;
    return S_OK;
}

__declspec(dllexport) LRESULT WINAPI LresultFromObject(REFIID riid, WPARAM wParam, IUnknown *object)
{
    (void)riid; (void)wParam;
    object->lpVtbl->AddRef(object);   /* the answer keeps one */
    return 0x5A5A;
}

/* Proxies asked for since the last call; their class and the references
   still held, then all forgotten. */
__declspec(dllexport) LONG WINAPI FakeProxyCalls(WCHAR *cls, LONG *refs)
{
    LONG calls = gCalls;
    lstrcpyW(cls, gClass);
    *refs = gRefs;
    gCalls = gRefs = 0;
    gClass[0] = 0;
    return calls;
}

/* A stand-in for oleacc.dll: records which standard class's proxy a
   control asks for and counts the references to the object it answers. */
#include <windows.h>
#include <unknwn.h>

static WCHAR gClass[64];
static LONG gCalls, gRefs;

static HRESULT STDMETHODCALLTYPE Query(IUnknown *self, REFIID riid, void **out) { *out = NULL; return E_NOINTERFACE; }
static ULONG STDMETHODCALLTYPE AddRef(IUnknown *self) { return ++gRefs; }
static ULONG STDMETHODCALLTYPE Release(IUnknown *self) { return --gRefs; }
static IUnknownVtbl gVtbl = {Query, AddRef, Release};
static IUnknown gObject = {&gVtbl};

__declspec(dllexport) HRESULT WINAPI CreateStdAccessibleProxyW(HWND w, LPCWSTR cls, LONG id, REFIID riid, void **out)
{
    gCalls++;
    lstrcpynW(gClass, cls, 64);
    *out = &gObject;
    AddRef(&gObject);
    return S_OK;
}

__declspec(dllexport) LRESULT WINAPI LresultFromObject(REFIID riid, WPARAM wParam, IUnknown *object)
{
    object->lpVtbl->AddRef(object);   /* the answer keeps one */
    return 0x5A5A;
}

/* The proxies asked for since the last call, the last one's class and the
   references held; then all is forgotten. */
__declspec(dllexport) LONG WINAPI FakeProxyCalls(WCHAR *cls, LONG *refs)
{
    LONG calls = gCalls;
    lstrcpyW(cls, gClass);
    *refs = gRefs;
    gCalls = gRefs = 0;
    return calls;
}

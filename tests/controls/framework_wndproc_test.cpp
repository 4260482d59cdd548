// MyControlWndProc: object lifetime, message routing to the virtual
// operations, notifications, and the registration of the eight classes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/globals.h"
#include "controls/control_class.h"
#include "controls/control_ctl.h"
#include "controls/control_mgr.h"
#include "tests/support/ctl_page.h"
#include "tests/support/win_test.h"

namespace {

const char kProbeClass[] = "CtlProbe";

struct Event {
    const char *what;
    POINT point;
    UINT keys;
};

// Records what the window procedure hands it.
class ProbeCtl : public MyControlCtl {
public:
    ProbeCtl() { live++; }
    ~ProbeCtl() override
    {
        live--;
        textLengthAtDelete = GetWindowTextLengthA(hWnd);
        slotAtDelete = MyControlMgr::GetWindowObject(hWnd);
    }
    int OnCreate(HWND window, CREATESTRUCTA *create) override
    {
        attachedAtCreate = MyControlMgr::GetWindowObject(window) == this;
        // The creation data lives only while WM_CREATE runs (a 32-bit
        // system may hand over a temporary copy): keep the text, not the
        // pointer.
        if (create && create->lpszName)
            createText = create->lpszName;
        return MyControlCtl::OnCreate(window, create);
    }
    void OnPaint(PAINTSTRUCT &paint) override
    {
        paints++;
        paintDcUsable = paint.hdc && GetObjectType(paint.hdc) == OBJ_DC;
    }
    void OnLButtonDown(UINT k, POINT *p) override { Add("ldown", k, p); }
    void OnLButtonUp(UINT k, POINT *p) override { Add("lup", k, p); }
    void OnLButtonDblClk(UINT k, POINT *p) override { Add("ldbl", k, p); }
    void OnRButtonDown(UINT k, POINT *p) override { Add("rdown", k, p); }
    void OnRButtonUp(UINT k, POINT *p) override { Add("rup", k, p); }
    void OnMouseMove(UINT k, POINT *p) override { Add("move", k, p); }
    int OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result) override
    {
        offered.push_back(message);
        if (message == intercept) {
            *result = 1234;
            return 1;
        }
        return 0;
    }

    void Add(const char *what, UINT keys, POINT *p)
    {
        Event e = {what, *p, keys};
        events.push_back(e);
    }

    static int live;
    static int textLengthAtDelete;
    static MyControlCtl *slotAtDelete;
    static UINT intercept;
    bool attachedAtCreate = false;
    std::string createText;
    int paints = 0;
    bool paintDcUsable = false;   // checked while WM_PAINT ran
    std::vector<Event> events;
    std::vector<UINT> offered;
};

int ProbeCtl::live = 0;
int ProbeCtl::textLengthAtDelete = -1;
MyControlCtl *ProbeCtl::slotAtDelete = NULL;
UINT ProbeCtl::intercept = 0;

MyControlCtl *NewProbe(const char *name)
{
    return ControlClassNameIs(name, kProbeClass) ? new ProbeCtl : NULL;
}

// Registers the probe class with the shared window procedure and its
// creator with the running manager.
void RegisterProbe()
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = MyControlWndProc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = kProbeClass;
    RegisterClassA(&wc);
    ControlMgr->AddAllocator(NewProbe);
}

ProbeCtl *ProbeOf(HWND w)
{
    return static_cast<ProbeCtl *>(MyControlMgr::GetWindowObject(w));
}

// A parent that answers WM_COMMAND with 42 and keeps what it got.
std::vector<std::pair<WPARAM, LPARAM> > gParentCommands;
LRESULT CALLBACK ParentProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_COMMAND) {
        gParentCommands.push_back(std::make_pair(wp, lp));
        return 42;
    }
    return DefWindowProcA(w, m, wp, lp);
}

} // namespace

TEST(ControlWndProc, ObjectLivesFromCreateToNcDestroy)
{
    ctltest::Framework up;
    RegisterProbe();
    HWND w = CreateWindowExA(0, kProbeClass, "probe", WS_POPUP, 0, 0, 50, 30, NULL, NULL,
                             GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(w);
    ProbeCtl *probe = ProbeOf(w);
    ASSERT_TRUE(probe);
    EXPECT_EQ(1, ProbeCtl::live);
    EXPECT_TRUE(probe->attachedAtCreate);     // attached before OnCreate
    EXPECT_EQ("probe", probe->createText);
    EXPECT_EQ(w, probe->hWnd);
    // Nothing before WM_CREATE found the object, and WM_CREATE itself is
    // never offered to OnMessage.
    for (UINT m : probe->offered) {
        EXPECT_NE((UINT)WM_CREATE, m);
        EXPECT_NE((UINT)WM_NCCREATE, m);
        EXPECT_NE((UINT)WM_NCCALCSIZE, m);
    }

    // Destruction: the default processing runs first (it drops the window
    // text), then the object is deleted.
    ProbeCtl::textLengthAtDelete = -1;
    DestroyWindow(w);
    EXPECT_EQ(0, ProbeCtl::live);
    EXPECT_EQ(0, ProbeCtl::textLengthAtDelete);

    // The same by hand on a live window: the slot is left null and the
    // default value comes back.
    w = CreateWindowExA(0, kProbeClass, "second", WS_POPUP, 0, 0, 50, 30, NULL, NULL,
                        GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(w);
    EXPECT_EQ(1, ProbeCtl::live);
    ProbeCtl::textLengthAtDelete = -1;
    LRESULT r = MyControlWndProc(w, WM_NCDESTROY, 0, 0);
    EXPECT_EQ(0, r);
    EXPECT_EQ(0, ProbeCtl::live);
    EXPECT_EQ(0, ProbeCtl::textLengthAtDelete);
    EXPECT_EQ(NULL, MyControlMgr::GetWindowObject(w));
    DestroyWindow(w);   // no object left: nothing is deleted twice
    EXPECT_EQ(0, ProbeCtl::live);

    // WM_NCCREATE clears the slot before anything reads it.
    w = CreateWindowExA(0, kProbeClass, "third", WS_POPUP, 0, 0, 50, 30, NULL, NULL,
                        GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(w);
    ProbeCtl *third = ProbeOf(w);
    ASSERT_TRUE(third);
    size_t offeredBefore = third->offered.size();
    CREATESTRUCTA cs;
    ZeroMemory(&cs, sizeof cs);
    cs.lpszName = "third";
    cs.lpszClass = kProbeClass;
    MyControlWndProc(w, WM_NCCREATE, 0, (LPARAM)&cs);
    EXPECT_EQ(NULL, MyControlMgr::GetWindowObject(w));
    EXPECT_EQ(offeredBefore, third->offered.size());   // not offered to the old object
    MyControlMgr::SetWindowObject(w, third);
    DestroyWindow(w);
    EXPECT_EQ(0, ProbeCtl::live);
}

TEST(ControlWndProc, MessagesReachTheirOperations)
{
    ctltest::Framework up;
    RegisterProbe();
    HWND w = CreateWindowExA(0, kProbeClass, "probe", WS_POPUP | WS_VISIBLE, 100, 100, 60, 40,
                             NULL, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(w);
    ProbeCtl *probe = ProbeOf(w);
    ASSERT_TRUE(probe);

    // Mouse points are sign-extended halves of lParam.
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 65535));
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(65535, 7));
    SendMessageA(w, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(32767, 32768));
    SendMessageA(w, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(3, 4));
    SendMessageA(w, WM_RBUTTONUP, 0, MAKELPARAM(65534, 65533));
    SendMessageA(w, WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(10, 20));
    const struct {
        const char *what;
        int x, y;
        UINT keys;
    } expected[] = {{"ldown", 5, -1, MK_LBUTTON},         {"lup", -1, 7, 0},
                    {"ldbl", 32767, -32768, MK_LBUTTON}, {"rdown", 3, 4, MK_RBUTTON},
                    {"rup", -2, -3, 0},                  {"move", 10, 20, MK_SHIFT}};
    ASSERT_EQ(6u, probe->events.size());
    for (int i = 0; i < 6; i++) {
        SCOPED_TRACE(expected[i].what);
        EXPECT_STREQ(expected[i].what, probe->events[i].what);
        EXPECT_EQ(expected[i].x, probe->events[i].point.x);
        EXPECT_EQ(expected[i].y, probe->events[i].point.y);
        EXPECT_EQ(expected[i].keys, probe->events[i].keys);
    }

    // Enable and focus changes are stored.
    EXPECT_EQ(0, probe->fEnabled);   // the probe's OnCreate is the base one
    SendMessageA(w, WM_ENABLE, 1, 0);
    EXPECT_EQ(1, probe->fEnabled);
    EnableWindow(w, FALSE);
    EXPECT_EQ(0, probe->fEnabled);
    EnableWindow(w, TRUE);
    EXPECT_EQ(1, probe->fEnabled);
    SendMessageA(w, WM_SETFOCUS, (WPARAM)0x1234, 0);
    EXPECT_EQ((WPARAM)0x1234, probe->hFocus);
    SendMessageA(w, WM_KILLFOCUS, (WPARAM)0x5678, 0);
    EXPECT_EQ((WPARAM)0x5678, probe->hFocus);

    // The default OnEraseBackground erases nothing and says so.
    HDC dc = GetDC(w);
    EXPECT_EQ(0, SendMessageA(w, WM_ERASEBKGND, (WPARAM)dc, 0));
    ReleaseDC(w, dc);

    // WM_PAINT goes through BeginPaint to OnPaint and leaves the window valid.
    InvalidateRect(w, NULL, FALSE);
    UpdateWindow(w);
    EXPECT_EQ(1, probe->paints);
    EXPECT_TRUE(probe->paintDcUsable);
    EXPECT_FALSE(GetUpdateRect(w, NULL, FALSE));

    // OnMessage wins over every other handling.
    ProbeCtl::intercept = WM_LBUTTONDOWN;
    EXPECT_EQ(1234, SendMessageA(w, WM_LBUTTONDOWN, 0, MAKELPARAM(1, 1)));
    EXPECT_EQ(6u, probe->events.size());
    ProbeCtl::intercept = WM_ERASEBKGND;
    EXPECT_EQ(1234, SendMessageA(w, WM_ERASEBKGND, 0, 0));
    ProbeCtl::intercept = WM_ENABLE;
    SendMessageA(w, WM_ENABLE, 0, 0);
    EXPECT_EQ(1, probe->fEnabled);
    ProbeCtl::intercept = WM_GETTEXTLENGTH;
    EXPECT_EQ(1234, SendMessageA(w, WM_GETTEXTLENGTH, 0, 0));
    ProbeCtl::intercept = WM_NCDESTROY;   // handled: the object is not deleted
    EXPECT_EQ(1234, SendMessageA(w, WM_NCDESTROY, 0, 0));
    EXPECT_EQ(1, ProbeCtl::live);
    EXPECT_EQ(probe, ProbeOf(w));
    ProbeCtl::intercept = 0;
    DestroyWindow(w);
    EXPECT_EQ(0, ProbeCtl::live);
}

TEST(ControlWndProc, NotificationsAndWindowsWithoutObject)
{
    ctltest::Framework up;
    RegisterProbe();
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "CtlProbeParent";
    RegisterClassA(&wc);
    HWND parent = CreateWindowExA(0, "CtlProbeParent", "", WS_POPUP, 0, 0, 100, 100, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    ASSERT_TRUE(parent);
    HWND w = ctltest::AddControl(parent, kProbeClass, "", 0x1077, 0, 0, 20, 20);
    ASSERT_TRUE(w);
    gParentCommands.clear();
    EXPECT_EQ(42, ProbeOf(w)->SendNotify(5, 0xBEEF));
    ASSERT_EQ(1u, gParentCommands.size());
    EXPECT_EQ((WPARAM)MAKEWPARAM(0x1077, 5), gParentCommands[0].first);
    EXPECT_EQ((LPARAM)0xBEEF, gParentCommands[0].second);   // widened with zeros

    // A class of the shared procedure for which no creator answers: no
    // object, the system paints it with its class brush.
    wc.lpfnWndProc = MyControlWndProc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = "CtlNobody";
    RegisterClassA(&wc);
    HWND nobody = ctltest::AddControl(parent, "CtlNobody", "", 2, 30, 0, 20, 20);
    ASSERT_TRUE(nobody);
    EXPECT_EQ(NULL, MyControlMgr::GetWindowObject(nobody));
    wintest::DibCanvas canvas(20, 20, RGB(255, 0, 0));
    EXPECT_NE(0, SendMessageA(nobody, WM_ERASEBKGND, (WPARAM)canvas.dc(), 0));
    GdiFlush();
    EXPECT_EQ(RGB(0, 0, 0), canvas.Get(10, 10));
    DestroyWindow(parent);
    EXPECT_EQ(0, ProbeCtl::live);
}

TEST(ControlClasses, InitTwiceTerminateTwice)
{
    const struct {
        const char *name;
        LPCSTR cursor;
    } rows[] = {{"VelloxMyButt", IDC_ARROW}, {"VelloxTexDlg", IDC_ARROW},
                {"VelloxFrame", IDC_ARROW},  {"VelloxShadButt", IDC_ARROW},
                {"VelloxText", IDC_ARROW},   {"VelloxMText", IDC_ARROW},
                {"VelloxGraph", IDC_WAIT},   {"VelloxCheckBox", IDC_ARROW}};
    ControlAllocator creators[] = {NewMyButton, NewMyTexDlg, NewMyFrame, NewMyShadowButton,
                                   NewMyText,   NewMyMText,  NewMyGraph, NewMyCheckBox};

    EXPECT_EQ(1, Init_Controls());
    ASSERT_TRUE(ControlMgr);
    MyControlMgr *mgr = ControlMgr;
    EXPECT_EQ(1, Init_Controls());
    EXPECT_EQ(mgr, ControlMgr);   // the second call only counts
    EXPECT_EQ(1, Terminate_Controls());
    EXPECT_EQ(mgr, ControlMgr);

    // Creators in registration order, one per class.
    ASSERT_EQ(8, ControlMgr->AllocatorCount());
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(creators[i], ControlMgr->AllocatorAt(i)) << i;
    MyControlClass *objects[] = {MyButton, MyTexDlg, MyFrame, MyShadowButton,
                                 MyText,   MyMText,  MyGraph, MyCheckBox};
    for (int i = 0; i < 8; i++) {
        SCOPED_TRACE(rows[i].name);
        ASSERT_TRUE(objects[i]);
        EXPECT_STREQ(rows[i].name, objects[i]->ClassName());
        EXPECT_EQ(1, objects[i]->useCount);
        EXPECT_EQ(ghInst, objects[i]->hInstance);
        EXPECT_EQ(ghInst, objects[i]->hResInstance);

        WNDCLASSA wc;
        ASSERT_TRUE(GetClassInfoA(ghInst, rows[i].name, &wc));
        EXPECT_EQ(0x400Bu, wc.style);
        EXPECT_EQ((WNDPROC)MyControlWndProc, wc.lpfnWndProc);
        EXPECT_EQ(0, wc.cbClsExtra);
        EXPECT_EQ((int)sizeof(LONG_PTR), wc.cbWndExtra);
        EXPECT_EQ(NULL, wc.hIcon);
        EXPECT_EQ(LoadCursorA(NULL, rows[i].cursor), wc.hCursor);
        EXPECT_EQ((HBRUSH)GetStockObject(LTGRAY_BRUSH), wc.hbrBackground);
        EXPECT_EQ(NULL, wc.lpszMenuName);
    }
    // The graph's hourglass differs from everybody's arrow.
    EXPECT_NE(LoadCursorA(NULL, IDC_ARROW), LoadCursorA(NULL, IDC_WAIT));

    // A class object already registered counts, tries again and fails.
    EXPECT_EQ(0, MyFrame->Init(ghInst, NULL));
    EXPECT_EQ(2, MyFrame->useCount);
    EXPECT_EQ(0, MyFrame->Terminate(ghInst));
    EXPECT_EQ(1, MyFrame->useCount);
    EXPECT_EQ(8, ControlMgr->AllocatorCount());

    EXPECT_EQ(1, Terminate_Controls());
    for (int i = 0; i < 8; i++) {
        WNDCLASSA wc;
        EXPECT_FALSE(GetClassInfoA(ghInst, rows[i].name, &wc)) << rows[i].name;
    }
    EXPECT_EQ(NULL, ControlMgr);
    EXPECT_EQ(NULL, MyGraph);
    // An unmatched call finds nothing to take down.
    EXPECT_EQ(1, Terminate_Controls());

    // Up again from scratch.
    EXPECT_EQ(1, Init_Controls());
    WNDCLASSA wc;
    EXPECT_TRUE(GetClassInfoA(ghInst, "VelloxGraph", &wc));
    EXPECT_EQ(8, ControlMgr->AllocatorCount());
    EXPECT_EQ(1, Terminate_Controls());
    EXPECT_FALSE(GetClassInfoA(ghInst, "VelloxGraph", &wc));
}

// The control manager: creator list, window objects, shared drawing objects,
// and the creators' class-name matching.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "controls/control_class.h"
#include "controls/control_ctl.h"
#include "controls/control_mgr.h"
#include "controls/frame_ctl.h"
#include "controls/graph_ctl.h"
#include "controls/mtext_ctl.h"
#include "controls/text_ctl.h"
#include "graphics/tex_dlg_ctl.h"

namespace {

class NamedCtl : public MyControlCtl {
public:
    explicit NamedCtl(char tag) : tag(tag) {}
    void OnPaint(PAINTSTRUCT &) override {}
    char tag;
};

std::vector<std::string> gAsked;   // "P:<name>" for every creator call

MyControlCtl *CreatorP(const char *name) { gAsked.push_back(std::string("P:") + name); return NULL; }
MyControlCtl *CreatorQ(const char *name) { gAsked.push_back(std::string("Q:") + name); return new NamedCtl('Q'); }
MyControlCtl *CreatorR(const char *name) { gAsked.push_back(std::string("R:") + name); return new NamedCtl('R'); }

HWND PlainWindow(const char *className)
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    return CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
}

// made came from a creator; it is of the class of like when both share
// one virtual function table.
void ExpectSameClass(MyControlCtl *made, MyControlCtl *like)
{
    ASSERT_TRUE(made != NULL);
    EXPECT_EQ(*reinterpret_cast<void **>(like), *reinterpret_cast<void **>(made));
    delete made;
}

} // namespace

TEST(ControlMgr, CreatorListReusesFreedSlotsAndAsksInSlotOrder)
{
    MyControlMgr mgr;
    EXPECT_EQ(0, mgr.AllocatorCount());
    EXPECT_EQ(0, mgr.DelAllocator(CreatorP));   // no list yet

    ASSERT_EQ(1, mgr.AddAllocator(CreatorP));
    ASSERT_EQ(1, mgr.AddAllocator(CreatorQ));
    ASSERT_EQ(2, mgr.AllocatorCount());
    EXPECT_EQ(1, mgr.DelAllocator(CreatorP));
    EXPECT_EQ(0, mgr.DelAllocator(CreatorP));   // already gone
    EXPECT_EQ(NULL, mgr.AllocatorAt(0));
    ASSERT_EQ(1, mgr.AddAllocator(CreatorR));
    EXPECT_EQ(2, mgr.AllocatorCount());          // the free slot was reused
    EXPECT_EQ(CreatorR, mgr.AllocatorAt(0));
    EXPECT_EQ(CreatorQ, mgr.AllocatorAt(1));

    HWND w = PlainWindow("CtlMgrOrder");
    ASSERT_TRUE(w);
    gAsked.clear();
    MyControlCtl *obj = mgr.Allocate(w);
    ASSERT_TRUE(obj);
    EXPECT_EQ('R', static_cast<NamedCtl *>(obj)->tag);
    ASSERT_EQ(1u, gAsked.size());                // Q was never asked
    EXPECT_EQ("R:CtlMgrOrder", gAsked[0]);
    delete obj;

    // Duplicates are kept; a further creator grows the list.
    ASSERT_EQ(1, mgr.AddAllocator(CreatorP));
    ASSERT_EQ(1, mgr.AddAllocator(CreatorP));
    EXPECT_EQ(4, mgr.AllocatorCount());
    DestroyWindow(w);
}

TEST(ControlMgr, ClassNamesAreReadIntoA64CharacterBuffer)
{
    MyControlMgr mgr;
    std::string longName(70, 'x');
    for (int i = 0; i < 70; i++)
        longName[i] = (char)('a' + i % 26);
    HWND w = PlainWindow(longName.c_str());
    ASSERT_TRUE(w);
    mgr.AddAllocator(CreatorP);
    gAsked.clear();
    EXPECT_EQ(NULL, mgr.Allocate(w));
    ASSERT_EQ(1u, gAsked.size());
    EXPECT_EQ("P:" + longName.substr(0, 62), gAsked[0]);   // cut to 62 characters
    DestroyWindow(w);

    // A window that is gone has no class name: nothing is asked.
    gAsked.clear();
    EXPECT_EQ(NULL, mgr.Allocate(w));
    EXPECT_TRUE(gAsked.empty());
}

TEST(ControlMgr, WindowObjectLivesInTheFirstExtraLong)
{
    HWND w = PlainWindow("CtlMgrSlot");
    ASSERT_TRUE(w);
    NamedCtl obj('S');
    MyControlMgr::SetWindowObject(w, &obj);
    EXPECT_EQ((LONG_PTR)&obj, GetWindowLongPtrA(w, 0));
    EXPECT_EQ(&obj, MyControlMgr::GetWindowObject(w));
    MyControlMgr::SetWindowObject(w, NULL);
    EXPECT_EQ(NULL, MyControlMgr::GetWindowObject(w));
    DestroyWindow(w);
}

TEST(ControlMgr, SharedDrawingObjectsAreMadeOnceAndDeletedWithTheManager)
{
    MyControlMgr *mgr = new MyControlMgr;
    EXPECT_EQ(10, mgr->FontHeight());
    HPEN light = mgr->GetLightGreyPen(), dark = mgr->GetDarkGreyPen(), client = mgr->GetClientPen();
    HBRUSH brush = mgr->GetClientBrush();
    HFONT font = mgr->GetFont();
    ASSERT_TRUE(light && dark && client && brush && font);
    EXPECT_EQ(light, mgr->GetLightGreyPen());
    EXPECT_EQ(dark, mgr->GetDarkGreyPen());
    EXPECT_EQ(client, mgr->GetClientPen());
    EXPECT_EQ(brush, mgr->GetClientBrush());
    EXPECT_EQ(font, mgr->GetFont());

    LOGPEN pen;
    ASSERT_TRUE(GetObjectA(light, sizeof pen, &pen));
    EXPECT_EQ((UINT)PS_SOLID, pen.lopnStyle);
    EXPECT_EQ(0, pen.lopnWidth.x);
    EXPECT_EQ(RGB(192, 192, 192), pen.lopnColor);
    ASSERT_TRUE(GetObjectA(dark, sizeof pen, &pen));
    EXPECT_EQ(RGB(128, 128, 128), pen.lopnColor);
    ASSERT_TRUE(GetObjectA(client, sizeof pen, &pen));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), pen.lopnColor);
    LOGBRUSH lb;
    ASSERT_TRUE(GetObjectA(brush, sizeof lb, &lb));
    EXPECT_EQ((UINT)BS_SOLID, lb.lbStyle);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), lb.lbColor);
    LOGFONTA lf;
    ASSERT_TRUE(GetObjectA(font, sizeof lf, &lf));
    EXPECT_EQ(-10, lf.lfHeight);
    EXPECT_EQ(0, lf.lfWidth);
    EXPECT_EQ(0, lf.lfWeight);
    EXPECT_STREQ("Helv", lf.lfFaceName);

    delete mgr;
    EXPECT_EQ(0u, GetObjectType(light));
    EXPECT_EQ(0u, GetObjectType(dark));
    EXPECT_EQ(0u, GetObjectType(client));
    EXPECT_EQ(0u, GetObjectType(brush));
    EXPECT_EQ(0u, GetObjectType(font));
}

TEST(ControlClasses, CreatorsMatchTheWholeNameIgnoringCase)
{
    struct Row {
        ControlAllocator creator;
        const char *name;
    } rows[] = {{NewMyTexDlg, "VelloxTexDlg"}, {NewMyFrame, "VelloxFrame"},
                {NewMyText, "VelloxText"},     {NewMyMText, "VelloxMText"},
                {NewMyGraph, "VelloxGraph"}};
    const char *others[] = {"VelloxMyButt", "VelloxShadButt", "VelloxCheckBox", "VelloxTexDlg",
                            "VelloxFrame",  "VelloxText",     "VelloxMText",    "VelloxGraph"};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        std::string upper = row.name, lower = row.name, mixed = row.name;
        for (size_t i = 0; i < upper.size(); i++) {
            upper[i] = (char)toupper(upper[i]);
            lower[i] = (char)tolower(lower[i]);
            mixed[i] = (char)(i % 2 ? toupper(mixed[i]) : tolower(mixed[i]));
        }
        for (const std::string &name : {std::string(row.name), upper, lower, mixed}) {
            MyControlCtl *obj = row.creator(name.c_str());
            EXPECT_TRUE(obj != NULL) << name;
            if (obj) {
                EXPECT_EQ(NULL, obj->hWnd);   // not attached yet
                delete obj;
            }
        }
        for (const std::string &name : {std::string(row.name) + "s", std::string(row.name) + " ",
                                        std::string(row.name).substr(0, strlen(row.name) - 1),
                                        std::string("")}) {
            EXPECT_EQ(NULL, row.creator(name.c_str())) << "'" << name << "'";
        }
        for (const char *other : others) {
            if (strcmp(other, row.name) != 0) {
                EXPECT_EQ(NULL, row.creator(other)) << other;
            }
        }
    }
    // The objects are of the classes that serve the names: they share the
    // virtual function table of an object made directly.
    {
        MyGraphCtl graph;
        ExpectSameClass(NewMyGraph("VELLOXGRAPH"), &graph);
        MyMTextCtl mtext;
        ExpectSameClass(NewMyMText("velloxmtext"), &mtext);
        MyTextCtl text;
        ExpectSameClass(NewMyText("velloxTEXT"), &text);
        MyFrameCtl frame;
        ExpectSameClass(NewMyFrame("VelloxFRAME"), &frame);
        MyTexDlgCtl texDlg;
        ExpectSameClass(NewMyTexDlg("VELLOXtexdlg"), &texDlg);
    }
    EXPECT_EQ(0, ControlClassNameIs(NULL, "VelloxText"));
    EXPECT_EQ(0, ControlClassNameIs("VelloxText", NULL));
}

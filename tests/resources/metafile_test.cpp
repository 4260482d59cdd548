// The logo: a placeable metafile resource whose headers, records and
// object use are checked byte by byte, and which plays into a DC the way
// the main window plays it.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/globals.h"
#include "res_bytes.h"
#include "tests/support/win_test.h"

namespace {

const DWORD kMeta = 22;   // the metafile proper starts after the placeable header

struct Record {
    DWORD at;             // offset in the resource
    unsigned long words;  // record size in 16-bit words
    unsigned function;
    int Param(const ResBytes &res, int i) const { return res.S16(at + 6 + 2 * i); }
};

bool Records(const ResBytes &res, std::vector<Record> &out)
{
    DWORD at = kMeta + 18;
    while (at + 6 <= res.size) {
        Record r{at, res.U32(at), res.U16(at + 4)};
        if (r.words < 3 || at + r.words * 2 > res.size)
            return false;
        out.push_back(r);
        at += r.words * 2;
        if (r.function == 0)   // META_EOF
            return at == res.size;
    }
    return false;
}

TEST(Logo, HeadersRecordsAndObjectsAreConsistent)
{
    ResBytes res;
    ASSERT_TRUE(LoadResBytes("OrrinLogo", "METAFILE", res));
    ASSERT_GT(res.size, kMeta + 18);

    // Placeable header.
    EXPECT_EQ(0x9AC6CDD7ul, res.U32(0));
    EXPECT_EQ(0u, res.U16(4));
    EXPECT_EQ(-4117, res.S16(6));
    EXPECT_EQ(-582, res.S16(8));
    EXPECT_EQ(3358, res.S16(10));
    EXPECT_EQ(5231, res.S16(12));
    EXPECT_EQ(1000u, res.U16(14));
    EXPECT_EQ(0ul, res.U32(16));
    unsigned sum = 0;
    for (DWORD i = 0; i < 20; i += 2)
        sum ^= res.U16(i);
    EXPECT_EQ(sum, res.U16(20)) << "checksum";

    // METAHEADER: the total size in words (at offset 28) covers exactly the
    // rest of the resource.
    EXPECT_EQ(1u, res.U16(22));
    EXPECT_EQ(9u, res.U16(24));
    EXPECT_EQ(0x300u, res.U16(26));
    EXPECT_EQ((unsigned long)(res.size - kMeta) / 2, res.U32(28));
    EXPECT_GT(res.size, 8000u) << "a logo of some detail";

    std::vector<Record> records;
    ASSERT_TRUE(Records(res, records)) << "records run to a final EOF record at the end";
    ASSERT_GT(records.size(), 50u);
    unsigned long largest = 0;
    for (const Record &r : records)
        largest = r.words > largest ? r.words : largest;
    EXPECT_EQ(largest, res.U32(34)) << "largest record";

    // It sets its own window origin and extent first (parameters are
    // stored y before x).
    EXPECT_EQ(0x020Bu, records[0].function);
    EXPECT_EQ(-582, records[0].Param(res, 0));
    EXPECT_EQ(-4117, records[0].Param(res, 1));
    EXPECT_EQ(0x020Cu, records[1].function);
    EXPECT_EQ(5231 + 582, records[1].Param(res, 0));
    EXPECT_EQ(3358 + 4117, records[1].Param(res, 1));

    // Replays the object table: a created object takes the lowest free slot.
    std::vector<int> slots;   // 0 free, 1 brush, 2 pen, 3 other
    int selectedBrush = -1, selectedPen = -1, created = 0;
    for (const Record &r : records) {
        switch (r.function) {
        case 0x02FC: case 0x02FA: case 0x02FB: case 0x00F7: case 0x01F9: case 0x0142: case 0x06FF: {
            size_t i = 0;
            while (i < slots.size() && slots[i] != 0)
                ++i;
            if (i == slots.size())
                slots.push_back(0);
            slots[i] = r.function == 0x02FC ? 1 : (r.function == 0x02FA ? 2 : 3);
            ++created;
            break;
        }
        case 0x012D: {   // SelectObject
            int i = r.Param(res, 0);
            ASSERT_TRUE(i >= 0 && i < (int)slots.size() && slots[i] != 0) << "select of a free slot";
            if (slots[i] == 1)
                selectedBrush = i;
            else if (slots[i] == 2)
                selectedPen = i;
            break;
        }
        case 0x01F0: {   // DeleteObject
            int i = r.Param(res, 0);
            ASSERT_TRUE(i >= 0 && i < (int)slots.size() && slots[i] != 0) << "delete of a free slot";
            EXPECT_NE(selectedBrush, i) << "brush deleted while selected";
            EXPECT_NE(selectedPen, i) << "pen deleted while selected";
            slots[i] = 0;
            break;
        }
        case 0x0127:   // RestoreDC: the caller's objects are selected again
            selectedBrush = selectedPen = -1;
            break;
        }
    }
    EXPECT_GT(created, 5);
    for (size_t i = 0; i < slots.size(); ++i)
        EXPECT_EQ(0, slots[i]) << "slot " << i << " still holds an object at the end";
    EXPECT_EQ((unsigned)slots.size(), res.U16(32)) << "object table size";
}

// Where a picture for a person to look at goes: test-output/ in the build tree.
std::string ShotPath(const char *name)
{
    std::string dir = std::string("Z:") + TEST_BINARY_DIR + "/test-output";
    for (char &c : dir)
        c = c == '/' ? '\\' : c;
    CreateDirectoryA(dir.c_str(), NULL);
    return dir + "\\" + name;
}

TEST(Logo, PlaysIntoTheBackdropArea)
{
    ResBytes res;
    ASSERT_TRUE(LoadResBytes("OrrinLogo", "METAFILE", res));
    HMETAFILE logo = SetMetaFileBitsEx(res.U32(28) * 2, res.data + kMeta);
    ASSERT_TRUE(logo != NULL);

    // The main window's way: anisotropic, viewport inset by 1/20 all round.
    const int w = 400, h = 300, mx = w / 20, my = h / 20;
    const COLORREF back = RGB(12, 22, 70);
    wintest::DibCanvas canvas(w, h, back);
    ASSERT_TRUE(canvas.ok());
    HDC dc = canvas.dc();
    wintest::DcSelection before = wintest::Selection(dc);
    int objects = wintest::GdiObjectCount();

    int saved = SaveDC(dc);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetViewportExtEx(dc, w - 2 * mx, h - 2 * my, NULL);
    SetViewportOrgEx(dc, mx, my, NULL);
    EXPECT_TRUE(PlayMetaFile(dc, logo));
    RestoreDC(dc, saved);

    EXPECT_TRUE(before == wintest::Selection(dc)) << "the logo leaves the DC's objects as it found them";
    if (objects >= 0) {
        EXPECT_EQ(objects, wintest::GdiObjectCount()) << "every object the logo made is gone";
    }
    EXPECT_TRUE(DeleteMetaFile(logo));
    wintest::SavePng(canvas.Snapshot(), ShotPath("resources_logo.png").c_str());

    int changed = 0, outside = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool drawn = canvas.Get(x, y) != back;
            changed += drawn;
            if (x < mx - 1 || x > w - mx || y < my - 1 || y > h - my)
                outside += drawn;
        }
    EXPECT_GT(changed, w * h / 5) << "the logo covers a good part of the area";
    EXPECT_EQ(0, outside) << "nothing drawn in the margins";

    // The planet sits in the upper middle: warm orange there.
    int px = mx + (w - 2 * mx) * (int)(-380 + 4117) / 7475;
    int py = my + (h - 2 * my) * (1420 + 582) / 5813;
    COLORREF c = canvas.Get(px, py);
    EXPECT_GT(GetRValue(c), 180) << std::hex << c;
    EXPECT_LT(GetBValue(c), 140) << std::hex << c;
}

} // namespace

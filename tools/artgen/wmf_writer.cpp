#include "wmf_writer.h"

#include <algorithm>

namespace {

enum {
    META_EOF = 0x0000,
    META_SAVEDC = 0x001E,
    META_SETBKMODE = 0x0102,
    META_SETPOLYFILLMODE = 0x0106,
    META_RESTOREDC = 0x0127,
    META_SELECTOBJECT = 0x012D,
    META_DELETEOBJECT = 0x01F0,
    META_SETWINDOWORG = 0x020B,
    META_SETWINDOWEXT = 0x020C,
    META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEBRUSHINDIRECT = 0x02FC,
    META_POLYGON = 0x0324,
    META_ELLIPSE = 0x0418,
    META_POLYPOLYGON = 0x0538,
};

const uint32_t kPlaceableKey = 0x9AC6CDD7u;

} // namespace

uint32_t WmfColour(uint32_t rgb)
{
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

void WmfWriter::Record(unsigned function, const std::vector<int> &params)
{
    uint32_t words = 3 + (uint32_t)params.size();
    records.U32(words);
    records.U16(function);
    for (int p : params)
        records.S16(p);
    if (words > maxRecordWords)
        maxRecordWords = words;
}

int WmfWriter::TakeSlot()
{
    for (size_t i = 0; i < slots.size(); ++i)
        if (!slots[i]) {
            slots[i] = true;
            return (int)i;
        }
    slots.push_back(true);
    return (int)slots.size() - 1;
}

int WmfWriter::LiveObjects() const
{
    int n = 0;
    for (bool used : slots)
        n += used ? 1 : 0;
    return n;
}

void WmfWriter::SetWindowOrg(int x, int y) { Record(META_SETWINDOWORG, {y, x}); }
void WmfWriter::SetWindowExt(int cx, int cy) { Record(META_SETWINDOWEXT, {cy, cx}); }
void WmfWriter::SaveDC() { Record(META_SAVEDC, {}); }
void WmfWriter::RestoreDC(int which) { Record(META_RESTOREDC, {which}); }
void WmfWriter::SetBkMode(int mode) { Record(META_SETBKMODE, {mode}); }
void WmfWriter::SetPolyFillMode(int mode) { Record(META_SETPOLYFILLMODE, {mode}); }

int WmfWriter::CreateSolidBrush(uint32_t rgb)
{
    if (std::find(brushColours.begin(), brushColours.end(), rgb) == brushColours.end())
        brushColours.push_back(rgb);
    uint32_t c = WmfColour(rgb) | 0x02000000;   // PALETTERGB
    // LOGBRUSH16: style BS_SOLID, colour, hatch.
    Record(META_CREATEBRUSHINDIRECT, {0, (int)(c & 0xFFFF), (int)(c >> 16), 0});
    return TakeSlot();
}

int WmfWriter::CreatePen(int style, int width, uint32_t rgb)
{
    uint32_t c = WmfColour(rgb);
    // LOGPEN16: style, width as a point, colour.
    Record(META_CREATEPENINDIRECT, {style, width, 0, (int)(c & 0xFFFF), (int)(c >> 16)});
    return TakeSlot();
}

void WmfWriter::SelectObject(int slot) { Record(META_SELECTOBJECT, {slot}); }

void WmfWriter::DeleteObject(int slot)
{
    Record(META_DELETEOBJECT, {slot});
    if (slot >= 0 && (size_t)slot < slots.size())
        slots[(size_t)slot] = false;
}

void WmfWriter::Polygon(const std::vector<WmfPoint> &points)
{
    std::vector<int> params{(int)points.size()};
    for (const WmfPoint &p : points) {
        params.push_back(p.x);
        params.push_back(p.y);
    }
    Record(META_POLYGON, params);
}

void WmfWriter::PolyPolygon(const std::vector<std::vector<WmfPoint>> &polygons)
{
    std::vector<int> params{(int)polygons.size()};
    for (const std::vector<WmfPoint> &poly : polygons)
        params.push_back((int)poly.size());
    for (const std::vector<WmfPoint> &poly : polygons)
        for (const WmfPoint &p : poly) {
            params.push_back(p.x);
            params.push_back(p.y);
        }
    Record(META_POLYPOLYGON, params);
}

void WmfWriter::Ellipse(int left, int top, int right, int bottom)
{
    Record(META_ELLIPSE, {bottom, right, top, left});
}

Bytes WmfWriter::Finish(int left, int top, int right, int bottom, int unitsPerInch)
{
    Record(META_EOF, {});

    ByteWriter out;
    // Placeable header; its checksum is the XOR of its first ten words.
    out.U32(kPlaceableKey);
    out.U16(0);   // handle
    out.S16(left);
    out.S16(top);
    out.S16(right);
    out.S16(bottom);
    out.U16((unsigned)unitsPerInch);
    out.U32(0);   // reserved
    unsigned sum = 0;
    for (size_t i = 0; i < 20; i += 2)
        sum ^= (unsigned)out.data[i] | ((unsigned)out.data[i + 1] << 8);
    out.U16(sum);

    // METAHEADER: in-memory metafile, 9-word header, version 3.0.
    uint32_t totalWords = 9 + (uint32_t)(records.Size() / 2);
    out.U16(1);
    out.U16(9);
    out.U16(0x0300);
    out.U32(totalWords);
    out.U16((unsigned)slots.size());   // size of the object table needed
    out.U32(maxRecordWords);
    out.U16(0);
    out.Append(records.data);
    return out.data;
}

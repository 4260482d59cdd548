// Builds a placeable Windows metafile record by record: the 22-byte
// placeable header, the METAHEADER and the records, with the object table
// and size fields kept right.
#ifndef ARTGEN_WMF_WRITER_H
#define ARTGEN_WMF_WRITER_H

#include <cstdint>
#include <vector>

#include "bytes.h"

struct WmfPoint {
    int x, y;
};

class WmfWriter {
public:
    void SetWindowOrg(int x, int y);
    void SetWindowExt(int cx, int cy);
    void SaveDC();
    void RestoreDC(int which);
    void SetBkMode(int mode);
    void SetPolyFillMode(int mode);

    // Objects take the lowest free slot of the table; the slot is returned.
    // Brushes name their colour as a palette colour (PALETTERGB): on a
    // palette display it is the nearest colour of the selected palette
    // rather than a dither of the reserved colours; elsewhere it is exact.
    int CreateSolidBrush(uint32_t rgb);
    int CreatePen(int style, int width, uint32_t rgb);
    void SelectObject(int slot);
    void DeleteObject(int slot);

    void Polygon(const std::vector<WmfPoint> &points);
    void PolyPolygon(const std::vector<std::vector<WmfPoint>> &polygons);
    void Ellipse(int left, int top, int right, int bottom);

    // Ends the records (EOF) and returns the whole file. The bounding box
    // is in logical units, unitsPerInch of them to the inch.
    Bytes Finish(int left, int top, int right, int bottom, int unitsPerInch);

    // Slots still holding objects (should be none when a picture ends).
    int LiveObjects() const;

    // Every brush colour used so far (0x00RRGGBB), each once.
    const std::vector<uint32_t> &BrushColours() const { return brushColours; }

private:
    void Record(unsigned function, const std::vector<int> &params);
    int TakeSlot();

    ByteWriter records;
    std::vector<bool> slots;
    uint32_t maxRecordWords = 0;
    std::vector<uint32_t> brushColours;
};

// Colour in the metafile's byte order (0x00BBGGRR) from 0x00RRGGBB.
uint32_t WmfColour(uint32_t rgb);

#endif

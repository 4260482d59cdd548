// Helpers shared by the tests that run under Wine: pages from templates,
// message pumping, pixel capture, PNG output and GDI object counting.
#ifndef TESTS_SUPPORT_WIN_TEST_H
#define TESTS_SUPPORT_WIN_TEST_H

#include <windows.h>
#include <string>
#include <vector>

namespace wintest {

// A captured rectangle of pixels, 0x00RRGGBB per pixel, top row first.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<unsigned> px;

    unsigned At(int x, int y) const { return px[(size_t)y * width + x]; }
    // The pixel as a COLORREF (0x00BBGGRR), comparable with RGB().
    COLORREF Color(int x, int y) const;
};

// Creates a modeless page from a dialog template of the test module,
// shows it and lets it paint. proc may be null (a procedure that handles
// nothing is used).
HWND CreatePage(const char *templateName, DLGPROC proc = NULL, LPARAM param = 0,
                HWND owner = NULL);

// Dispatches every queued message, then keeps doing so for ms milliseconds.
void Pump(DWORD ms = 0);

// Copies what the screen shows of the window's client area (or, with
// whole set, of the whole window including its frame).
bool CaptureWindow(HWND hwnd, Pixels &out, bool whole = false);

// Copies a rectangle of a device context.
bool CaptureDC(HDC dc, const RECT &rc, Pixels &out);

// The colour the screen shows at a client point of a window.
COLORREF ClientPixel(HWND hwnd, int x, int y);

// A 32-bit top-down DIB section selected into its own memory DC, for
// drawing tests that read exact pixels.
class DibCanvas {
public:
    DibCanvas(int width, int height, COLORREF fill = RGB(0, 0, 0));
    ~DibCanvas();
    DibCanvas(const DibCanvas &) = delete;
    DibCanvas &operator=(const DibCanvas &) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bmp_; }
    int width() const { return w_; }
    int height() const { return h_; }
    bool ok() const { return bits_ != NULL; }
    COLORREF Get(int x, int y) const;
    void Set(int x, int y, COLORREF c);
    void Fill(COLORREF c);
    Pixels Snapshot() const;

private:
    HDC dc_ = NULL;
    HBITMAP bmp_ = NULL;
    HGDIOBJ old_ = NULL;
    unsigned *bits_ = NULL;
    int w_, h_;
};

// Writes pixels as a PNG file (Windows or Z:-style path).
bool SavePng(const Pixels &pixels, const char *path);

// Saves the window (frame included) as a PNG.
bool SaveWindowPng(HWND hwnd, const char *path);

// A path under the build tree for test output, as a Windows path
// (Z:\...\build\test-output\name). The directory is created.
std::string OutputPath(const char *name);

// Number of live GDI objects of this process (pens, brushes, fonts,
// bitmaps, DCs, regions, palettes), or -1 when it cannot be counted.
int GdiObjectCount();

// The objects currently selected into a DC, to check that a drawing
// routine selected back whatever it selected.
struct DcSelection {
    HGDIOBJ pen, brush, font, bitmap, palette;
    bool operator==(const DcSelection &o) const
    {
        return pen == o.pen && brush == o.brush && font == o.font && bitmap == o.bitmap &&
               palette == o.palette;
    }
};
DcSelection Selection(HDC dc);

// Sends a click (button down and up) at a client point.
void Click(HWND hwnd, int x, int y);

} // namespace wintest

#endif

#include "tests/support/win_test.h"

#include "app/globals.h"

#include <cstdio>
#include <cstring>

namespace wintest {

COLORREF Pixels::Color(int x, int y) const
{
    unsigned v = At(x, y);
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

static INT_PTR CALLBACK PassiveDlgProc(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

HWND CreatePage(const char *templateName, DLGPROC proc, LPARAM param, HWND owner)
{
    HWND page = CreateDialogParamA(ghInst ? ghInst : GetModuleHandleA(NULL), templateName, owner,
                                   proc ? proc : PassiveDlgProc, param);
    if (page) {
        ShowWindow(page, SW_SHOW);
        UpdateWindow(page);
        Pump(50);
    }
    return page;
}

void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (ms)
            Sleep(5);
    } while (GetTickCount() - start < ms);
}

bool CaptureDC(HDC dc, const RECT &rc, Pixels &out)
{
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0)
        return false;
    DibCanvas canvas(w, h);
    if (!canvas.ok())
        return false;
    if (!BitBlt(canvas.dc(), 0, 0, w, h, dc, rc.left, rc.top, SRCCOPY))
        return false;
    GdiFlush();
    out = canvas.Snapshot();
    return true;
}

bool CaptureWindow(HWND hwnd, Pixels &out, bool whole)
{
    RECT rc;
    POINT origin = {0, 0};
    if (whole) {
        GetWindowRect(hwnd, &rc);
        origin.x = rc.left;
        origin.y = rc.top;
        OffsetRect(&rc, -rc.left, -rc.top);
    } else {
        GetClientRect(hwnd, &rc);
        ClientToScreen(hwnd, &origin);
    }
    HDC screen = GetDC(NULL);
    RECT src = {origin.x, origin.y, origin.x + rc.right, origin.y + rc.bottom};
    bool ok = CaptureDC(screen, src, out);
    ReleaseDC(NULL, screen);
    return ok;
}

COLORREF ClientPixel(HWND hwnd, int x, int y)
{
    Pixels p;
    RECT rc = {x, y, x + 1, y + 1};
    POINT o = {0, 0};
    ClientToScreen(hwnd, &o);
    OffsetRect(&rc, o.x, o.y);
    HDC screen = GetDC(NULL);
    bool ok = CaptureDC(screen, rc, p);
    ReleaseDC(NULL, screen);
    return ok ? p.Color(0, 0) : CLR_INVALID;
}

// ---- DIB canvas ----

DibCanvas::DibCanvas(int width, int height, COLORREF fill) : w_(width), h_(height)
{
    BITMAPINFO bi;
    memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(NULL);
    dc_ = CreateCompatibleDC(screen);
    ReleaseDC(NULL, screen);
    void *bits = NULL;
    bmp_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    if (dc_ && bmp_) {
        bits_ = static_cast<unsigned *>(bits);
        old_ = SelectObject(dc_, bmp_);
        Fill(fill);
    }
}

DibCanvas::~DibCanvas()
{
    if (old_)
        SelectObject(dc_, old_);
    if (bmp_)
        DeleteObject(bmp_);
    if (dc_)
        DeleteDC(dc_);
}

COLORREF DibCanvas::Get(int x, int y) const
{
    GdiFlush();
    unsigned v = bits_[(size_t)y * w_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

void DibCanvas::Set(int x, int y, COLORREF c)
{
    GdiFlush();
    bits_[(size_t)y * w_ + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

void DibCanvas::Fill(COLORREF c)
{
    GdiFlush();
    unsigned v = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    for (size_t i = 0; i < (size_t)w_ * h_; i++)
        bits_[i] = v;
}

Pixels DibCanvas::Snapshot() const
{
    GdiFlush();
    Pixels p;
    p.width = w_;
    p.height = h_;
    p.px.resize((size_t)w_ * h_);
    for (size_t i = 0; i < p.px.size(); i++)
        p.px[i] = bits_[i] & 0xFFFFFF;
    return p;
}

// ---- PNG output (uncompressed deflate blocks) ----

static unsigned Crc(const unsigned char *data, size_t len, unsigned crc = 0)
{
    static unsigned table[256];
    static bool ready = false;
    if (!ready) {
        for (unsigned n = 0; n < 256; n++) {
            unsigned c = n;
            for (int k = 0; k < 8; k++)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (size_t i = 0; i < len; i++)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

static void Put32(std::vector<unsigned char> &v, unsigned x)
{
    v.push_back(x >> 24);
    v.push_back(x >> 16);
    v.push_back(x >> 8);
    v.push_back(x);
}

static void Chunk(std::vector<unsigned char> &png, const char *type,
                  const std::vector<unsigned char> &data)
{
    Put32(png, (unsigned)data.size());
    std::vector<unsigned char> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    Put32(png, Crc(body.data(), body.size()));
}

bool SavePng(const Pixels &pixels, const char *path)
{
    if (pixels.width <= 0 || pixels.height <= 0)
        return false;
    std::vector<unsigned char> raw;
    raw.reserve((size_t)pixels.height * (pixels.width * 3 + 1));
    for (int y = 0; y < pixels.height; y++) {
        raw.push_back(0);
        for (int x = 0; x < pixels.width; x++) {
            unsigned v = pixels.At(x, y);
            raw.push_back(v >> 16);
            raw.push_back(v >> 8);
            raw.push_back(v);
        }
    }
    std::vector<unsigned char> z = {0x78, 0x01};
    size_t pos = 0;
    do {
        size_t n = raw.size() - pos;
        if (n > 65535)
            n = 65535;
        bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(n & 0xFF);
        z.push_back(n >> 8);
        z.push_back(~n & 0xFF);
        z.push_back((~n >> 8) & 0xFF);
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
    } while (pos < raw.size());
    unsigned a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    Put32(z, (b << 16) | a);

    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<unsigned char> ihdr;
    Put32(ihdr, pixels.width);
    Put32(ihdr, pixels.height);
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    Chunk(png, "IHDR", ihdr);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});

    HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(f, png.data(), (DWORD)png.size(), &written, NULL);
    CloseHandle(f);
    return ok && written == png.size();
}

bool SaveWindowPng(HWND hwnd, const char *path)
{
    Pixels p;
    return CaptureWindow(hwnd, p, true) && SavePng(p, path);
}

std::string OutputPath(const char *name)
{
#ifdef TEST_BINARY_DIR
    std::string dir = std::string("Z:") + TEST_BINARY_DIR + "/test-output";
#else
    std::string dir = "C:\\test-output";
#endif
    for (char &c : dir)
        if (c == '/')
            c = '\\';
    CreateDirectoryA(dir.c_str(), NULL);
    return dir + "\\" + name;
}

// ---- GDI object counting ----
//
// Wine keeps the process's GDI handle table in shared memory reachable from
// the process environment block, laid out as on Windows: 65536 entries of
// 24 bytes with the object type at offset 14 and the handle's upper word at
// offset 12. A live entry is confirmed by GetObjectType on the handle it
// stands for.

#pragma pack(push, 1)
struct GdiHandleEntry {
    unsigned long long object;
    unsigned owner;
    unsigned short unique;
    unsigned char type;
    unsigned char flags;
    unsigned long long user;
};
#pragma pack(pop)

static const GdiHandleEntry *GdiTable()
{
#ifdef _WIN64
    unsigned char *teb = reinterpret_cast<unsigned char *>(NtCurrentTeb());
    unsigned char *peb = *reinterpret_cast<unsigned char **>(teb + 0x60);
    return *reinterpret_cast<const GdiHandleEntry **>(peb + 0xF8);
#else
    unsigned char *teb;
    __asm__("movl %%fs:0x18, %0" : "=r"(teb));
    unsigned char *peb = *reinterpret_cast<unsigned char **>(teb + 0x30);
    return *reinterpret_cast<const GdiHandleEntry **>(peb + 0x94);
#endif
}

int GdiObjectCount()
{
    const GdiHandleEntry *table = GdiTable();
    if (!table)
        return -1;
    // Check the layout with an object of our own before trusting it.
    HPEN probe = CreatePen(PS_SOLID, 0, RGB(1, 2, 3));
    unsigned idx = (unsigned)(UINT_PTR)probe & 0xFFFF;
    bool layoutOk = probe && table[idx].type != 0 &&
                    table[idx].unique == (((UINT_PTR)probe >> 16) & 0xFFFF);
    DeleteObject(probe);
    if (!layoutOk)
        return -1;
    int count = 0;
    for (unsigned i = 0; i < 0x10000; i++) {
        if (!table[i].type)
            continue;
        HGDIOBJ h = (HGDIOBJ)(UINT_PTR)(i | ((unsigned)table[i].unique << 16));
        if (GetObjectType(h))
            count++;
    }
    return count;
}

DcSelection Selection(HDC dc)
{
    DcSelection s;
    s.pen = GetCurrentObject(dc, OBJ_PEN);
    s.brush = GetCurrentObject(dc, OBJ_BRUSH);
    s.font = GetCurrentObject(dc, OBJ_FONT);
    s.bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    s.palette = GetCurrentObject(dc, OBJ_PAL);
    return s;
}

void Click(HWND hwnd, int x, int y)
{
    LPARAM pt = MAKELPARAM(x, y);
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, pt);
    SendMessageA(hwnd, WM_LBUTTONUP, 0, pt);
}

} // namespace wintest

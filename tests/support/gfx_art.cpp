#include "tests/support/gfx_art.h"

namespace gfxtest {

namespace {

const int kKeyIndex = 250, kWhiteIndex = 251, kBlackIndex = 252;

void ArtTable(RGBQUAD table[256])
{
    for (int i = 0; i < 256; i++)
        table[i] = TestColour(i);
    RGBQUAD key = {255, 0, 255, 0}, white = {255, 255, 255, 0}, black = {0, 0, 0, 0};
    table[kKeyIndex] = key;
    table[kWhiteIndex] = white;
    table[kBlackIndex] = black;
}

int ButtonIndex(int x, int y, void *)
{
    int frame = x / kButtonW, fx = x % kButtonW;
    if (fx + y < 10 || (kButtonW - 1 - fx) + y < 10)
        return kKeyIndex;
    return (frame ? 120 : 20) + (fx + y) % 30;
}

bool FaceOpaque(int x, int y)
{
    return x >= 4 && x < 50 && y >= 4 && y < 28 && ((x / 6) % 2 == 0 || y < 8);
}

int FaceIndex(int x, int y, void *)
{
    if (!FaceOpaque(x, y))
        return kKeyIndex;
    return (x + y) % 5 == 0 ? kBlackIndex : 60 + (x + y) % 20;
}

int CellIndex(int x, int y, void *)
{
    int cell = x / kCellW, cx = x % kCellW;
    if (cell >= 1 && cx >= 8 && cx < 8 + 4 * cell && y >= 6 && y < 16)
        return 10 * cell + 1;
    return kWhiteIndex;
}

COLORREF Colour(int index)
{
    RGBQUAD t[256];
    ArtTable(t);
    return RGB(t[index].rgbRed, t[index].rgbGreen, t[index].rgbBlue);
}

} // namespace

COLORREF ButtonPixel(int frame, int x, int y)
{
    int i = ButtonIndex(frame * kButtonW + x, y, NULL);
    return i == kKeyIndex ? CLR_INVALID : Colour(i);
}

COLORREF FacePixel(int x, int y)
{
    int i = FaceIndex(x, y, NULL);
    return i == kKeyIndex ? CLR_INVALID : Colour(i);
}

COLORREF CellPixel(int cell, int x, int y)
{
    int i = CellIndex(cell * kCellW + x, y, NULL);
    return i == kWhiteIndex ? CLR_INVALID : Colour(i);
}

bool CaptureClient(HWND window, wintest::Pixels &out)
{
    std::vector<unsigned> &pixels = out.px;
    int &width = out.width, &height = out.height;
    RECT rc;
    if (!GetClientRect(window, &rc) || rc.right <= 0 || rc.bottom <= 0)
        return false;
    width = rc.right;
    height = rc.bottom;
    BITMAPINFO bi;
    ZeroMemory(&bi, sizeof bi);
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HDC dc = GetDC(window);
    HDC mem = CreateCompatibleDC(dc);
    void *bits = NULL;
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    bool ok = false;
    if (mem && bmp) {
        HGDIOBJ old = SelectObject(mem, bmp);
        ok = BitBlt(mem, 0, 0, width, height, dc, 0, 0, SRCCOPY) != 0;
        GdiFlush();
        const unsigned *p = static_cast<const unsigned *>(bits);
        pixels.assign(p, p + (size_t)width * height);
        for (unsigned &v : pixels)
            v &= 0xFFFFFF;
        SelectObject(mem, old);
    }
    if (bmp)
        DeleteObject(bmp);
    if (mem)
        DeleteDC(mem);
    ReleaseDC(window, dc);
    return ok;
}

COLORREF ClientColour(HWND window, int x, int y)
{
    wintest::Pixels p;
    if (!CaptureClient(window, p) || x < 0 || y < 0 || x >= p.width || y >= p.height)
        return CLR_INVALID;
    return p.Color(x, y);
}

HINSTANCE ArtModule()
{
    static ResourceModule *module = NULL;
    if (!module) {
        RGBQUAD table[256];
        ArtTable(table);
        module = new ResourceModule;
        module->Add("TBUTTON", MakeDib8(2 * kButtonW, kButtonH, table, ButtonIndex, NULL));
        module->Add("TFACE", MakeDib8(kFaceW, kFaceH, table, FaceIndex, NULL));
        module->Add("CHECKBOX", MakeDib8(6 * kCellW, kCellH, table, CellIndex, NULL));
        module->Add("GRADTEX", MakeTestTexture(128, 128));
        module->Load();
    }
    return module->instance();
}

} // namespace gfxtest

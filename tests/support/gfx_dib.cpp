#include "tests/support/gfx_dib.h"

#include <string.h>

namespace gfxtest {

RGBQUAD TestColour(int i)
{
    RGBQUAD q;
    q.rgbRed = (BYTE)i;
    q.rgbGreen = (BYTE)(255 - i);
    q.rgbBlue = (BYTE)((i * 37) & 255);
    q.rgbReserved = (BYTE)((i * 11) & 255);
    return q;
}

COLORREF TestRGB(int i)
{
    RGBQUAD q = TestColour(i);
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

COLORREF ShadowOf(COLORREF c)
{
    int r = GetRValue(c) - 60, g = GetGValue(c) - 60, b = GetBValue(c) - 60;
    return RGB(r < 0 ? 0 : r, g < 0 ? 0 : g, b < 0 ? 0 : b);
}

COLORREF HilightOf(COLORREF c)
{
    int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    r += r / 2 + 40;
    g += g / 2 + 40;
    b += b / 2 + 40;
    return RGB(r > 255 ? 255 : r, g > 255 ? 255 : g, b > 255 ? 255 : b);
}

int TextureIndex(int x, int y)
{
    return ((x & 15) + 16 * (y & 15)) ^ ((x >> 4) * 7 + (y >> 4) * 3) % 256;
}

Bytes MakeDib8(int width, int height, const RGBQUAD table[256], IndexFn index, void *arg)
{
    const int stride = (width + 3) & ~3;
    Bytes out(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD) + (size_t)stride * height, 0);
    BITMAPINFOHEADER h;
    memset(&h, 0, sizeof h);
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = 8;
    h.biCompression = BI_RGB;
    memcpy(out.data(), &h, sizeof h);
    memcpy(out.data() + sizeof h, table, 256 * sizeof(RGBQUAD));
    unsigned char *bits = out.data() + sizeof h + 256 * sizeof(RGBQUAD);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            bits[(size_t)(height - 1 - y) * stride + x] = (unsigned char)index(x, y, arg);
    return out;
}

static int TextureIndexFn(int x, int y, void *) { return TextureIndex(x, y); }

Bytes MakeTestTexture(int width, int height)
{
    RGBQUAD table[256];
    for (int i = 0; i < 256; i++)
        table[i] = TestColour(i);
    return MakeDib8(width, height, table, TextureIndexFn, NULL);
}

ResourceModule::ResourceModule() : module_(NULL) {}

ResourceModule::~ResourceModule()
{
    if (module_)
        FreeLibrary(module_);
    if (!path_.empty())
        DeleteFileA(path_.c_str());
}

void ResourceModule::Add(const char *name, const Bytes &dib)
{
    Entry e;
    e.name = name;
    e.data = dib;
    entries_.push_back(e);
}

HINSTANCE ResourceModule::Load()
{
    if (module_)
        return module_;
    char self[MAX_PATH], dir[MAX_PATH], file[MAX_PATH];
    if (!GetModuleFileNameA(NULL, self, sizeof self) || !GetTempPathA(sizeof dir, dir) ||
        !GetTempFileNameA(dir, "gfx", 0, file))
        return NULL;
    path_ = file;
    if (!CopyFileA(self, file, FALSE))
        return NULL;
    HANDLE update = BeginUpdateResourceA(file, TRUE);
    if (!update)
        return NULL;
    for (const Entry &e : entries_) {
        if (!UpdateResourceA(update, (LPCSTR)RT_BITMAP, e.name.c_str(),
                             MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), (void *)e.data.data(),
                             (DWORD)e.data.size())) {
            EndUpdateResourceA(update, TRUE);
            return NULL;
        }
    }
    if (!EndUpdateResourceA(update, FALSE))
        return NULL;
    module_ = LoadLibraryExA(file, NULL, LOAD_LIBRARY_AS_DATAFILE);
    return module_;
}

} // namespace gfxtest

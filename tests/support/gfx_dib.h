// Test bitmaps made in memory: 8-bit DIBs with a known colour table, and a
// throw-away module that carries them as bitmap resources, so textures and
// sprites load through the same resource calls the installer uses.
#ifndef TESTS_SUPPORT_GFX_DIB_H
#define TESTS_SUPPORT_GFX_DIB_H

#include <windows.h>
#include <string>
#include <vector>

namespace gfxtest {

typedef std::vector<unsigned char> Bytes;

// The colour of entry i of the test colour table: red i, green 255 - i,
// blue (i * 37) & 255, reserved (i * 11) & 255.
RGBQUAD TestColour(int i);
COLORREF TestRGB(int i);

// A colour as the shadow (c - 60, at least 0) and highlight
// (c + c / 2 + 40, at most 255) texture variants show it.
COLORREF ShadowOf(COLORREF c);
COLORREF HilightOf(COLORREF c);

// Colour-table index of test texture pixel (x, y): unique within any
// 16 x 16 block, so a shifted tile never matches.
int TextureIndex(int x, int y);

// An 8-bit bottom-up DIB (40-byte header, 256 colours, padded rows) as a
// bitmap resource holds it. index(x, y) gives the colour-table index of
// the pixel at (x, y) counted from the top.
typedef int (*IndexFn)(int x, int y, void *arg);
Bytes MakeDib8(int width, int height, const RGBQUAD table[256], IndexFn index, void *arg);
// The test texture: TestColour table, TextureIndex pixels.
Bytes MakeTestTexture(int width, int height);

// A copy of the test executable, emptied of resources, given the bitmap
// resources added with Add, and loaded as a data file.
class ResourceModule {
public:
    ResourceModule();
    ~ResourceModule();
    ResourceModule(const ResourceModule &) = delete;
    ResourceModule &operator=(const ResourceModule &) = delete;

    void Add(const char *name, const Bytes &dib);
    // Writes and loads the module; null on failure.
    HINSTANCE Load();
    HINSTANCE instance() const { return module_; }

private:
    struct Entry {
        std::string name;
        Bytes data;
    };
    std::vector<Entry> entries_;
    std::string path_;
    HMODULE module_;
};

} // namespace gfxtest

#endif

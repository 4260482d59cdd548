// DIBTex: a tileable texture built from an 8-bit bitmap resource, kept as
// three screen-compatible device bitmaps (shadow, normal, highlight).
// All tiles align in one texture space whose origin is the outer top-left
// corner of the textured top-level window.
#ifndef SETUP_GRAPHICS_DIB_TEX_H
#define SETUP_GRAPHICS_DIB_TEX_H

#include <windows.h>

// Texture variants, passed as plain integers.
enum { TEX_SHADOW = 0, TEX_NORMAL = 1, TEX_HILIGHT = 2 };

// Every variant, for the constructor.
enum { TEX_ALL_VARIANTS = (1 << TEX_SHADOW) | (1 << TEX_NORMAL) | (1 << TEX_HILIGHT) };

// Size of a working colour-table block: the 40-byte header and 256 entries.
enum { DIB_TABLE_BYTES = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD) };

class DIBTex {
public:
    // Builds the variants whose bits (1 << variant) are set in `variants`;
    // a painter that tiles only with the normal colours asks for that one.
    // A texture that cannot build all it was asked for stays empty.
    DIBTex(HINSTANCE instance, LPCSTR name, int variants = TEX_ALL_VARIANTS);
    ~DIBTex();

    // Tiles `area` (dc coordinates) with whole tiles of `variant`; (x, y)
    // is the texture-space position of dc's origin. 0 for an empty texture.
    int TexMap(HDC dc, int x, int y, const RECT &area, int variant, DWORD rop);

    // Texture-space position of the control's client origin: its screen
    // client origin minus its parent's window rectangle corner.
    static void ControlOffset(HWND control, POINT &offset);

    // Draws the built variants again from the resource they were made of,
    // through the texture's palette. Device bitmaps on a palette display
    // hold system-palette indices: after a realization has moved the
    // texture's colours, this makes the tiles show them again. 1 when
    // redrawn, 0 for an empty texture or a resource that no longer fits.
    int Refresh(HINSTANCE instance, LPCSTR name);

    int Width() const { return width; }
    int Height() const { return height; }
    HPALETTE Palette() const { return palette; }
    HBITMAP Bitmap(int variant) const;
    int IsEmpty() const { return width == 0 || height == 0; }

private:
    DIBTex(const DIBTex &);
    DIBTex &operator=(const DIBTex &);

    // Loads the resource, makes the colour tables of `variants` and draws
    // them (Draw): with `create`, all of them or none, into new bitmaps
    // and a new palette, the size taken from the resource; else into the
    // existing bitmaps, when the resource is still of their size. The
    // number drawn.
    int Build(HINSTANCE instance, LPCSTR name, int variants, int create);
    // Draws each variant of `variants` from the bits through its table
    // into its device bitmap (made first when `create`), the texture's
    // palette realized in a memory context. The number drawn.
    int Draw(const void *bits, BITMAPINFO *const tables[3], int variants, int w, int h,
             int create);

    HBITMAP bitmaps[3];   // owned, indexed by variant; null when not built
    HPALETTE palette;     // owned; null when not built
    int width;
    int height;
};

// Finds and locks an RT_BITMAP resource. 1 with *info and *resource set
// (and *size, when given, to the resource's length in bytes), else 0.
int LoadDIB(HINSTANCE instance, LPCSTR name, BITMAPINFO **info, HGLOBAL *resource,
            DWORD *size = NULL);
// Releases a resource from LoadDIB; 0 for a null handle.
int DestroyDIB(HGLOBAL resource);

// Checks that `size` bytes at `info` hold an uncompressed 8-bit DIB with a
// 40-byte header, a full 256-entry colour table and all of its pixel rows.
// Stores the pixel offset (from info) on success. 1 when usable, else 0.
int ValidTextureDIB(const BITMAPINFO *info, DWORD size, DWORD *bitsOffset);

// Working colour-table blocks (DIB_TABLE_BYTES, zero-initialised, locked):
// the header of info with biClrUsed 256, and all 256 entries. Null when
// memory runs out. Release with FreeBMInfo.
BITMAPINFO *CopyBMInfo(const BITMAPINFO *info);
BITMAPINFO *HilightPal(const BITMAPINFO *info, int add, int divisor);
BITMAPINFO *ShadowPal(const BITMAPINFO *info, int subtract);
void FreeBMInfo(BITMAPINFO *block);

// Palette from the normal table of infos[3] (shadow, normal, highlight).
HPALETTE CreateBestPalette(BITMAPINFO *const infos[3]);

// A logical palette of the first `count` (1 to 256) entries of a colour
// table, no flags; null when it cannot be made.
HPALETTE PaletteOfTable(const RGBQUAD *table, int count);

// A device bitmap, compatible with the screen, of an uncompressed bitmap
// resource of up to 8 bits per pixel. On a palette display its colours go
// through a palette of its own colour table realized in the background, so
// they take the nearest colours of the system palette, not only the twenty
// reserved ones. Null when the resource is missing or of another form.
HBITMAP LoadDeviceBitmap(HINSTANCE instance, LPCSTR name);

#endif

#include "graphics/dib_tex.h"


namespace {

const int kPaletteEntries = 256;
const int kTableBytes = kPaletteEntries * sizeof(RGBQUAD);
const int kMaxSide = 16384;   // larger textures are refused, not tiled

// Floor division, so that an area left or above texture space still gets
// the tiles that cover it (b > 0).
int FloorDiv(int a, int b)
{
    int q = a / b;
    if (a % b < 0)
        q--;
    return q;
}

BITMAPINFO *NewBlock()
{
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, DIB_TABLE_BYTES);
    if (!h)
        return NULL;
    void *p = GlobalLock(h);
    if (!p) {
        GlobalFree(h);
        return NULL;
    }
    return static_cast<BITMAPINFO *>(p);
}

// A new block with the 40-byte header of info; entries still zero. The
// block holds all 256 entries and says so: a header that counts fewer
// would make StretchDIBits draw the higher pixel indices black.
BITMAPINFO *NewBlockWithHeader(const BITMAPINFO *info)
{
    if (!info)
        return NULL;
    BITMAPINFO *block = NewBlock();
    if (block) {
        CopyMemory(&block->bmiHeader, &info->bmiHeader, sizeof(BITMAPINFOHEADER));
        block->bmiHeader.biClrUsed = kPaletteEntries;
    }
    return block;
}

// A new block of info's table, each colour channel c made
// c + c / divisor + add (no c / divisor when divisor is 0), kept within
// 0 to 255; the fourth byte of each entry copied as it is.
BITMAPINFO *AdjustedTable(const BITMAPINFO *info, int add, int divisor)
{
    BITMAPINFO *block = NewBlockWithHeader(info);
    if (!block)
        return NULL;
    const BYTE *src = reinterpret_cast<const BYTE *>(info->bmiColors);
    BYTE *dst = reinterpret_cast<BYTE *>(block->bmiColors);
    for (int i = 0; i < kTableBytes; i++) {
        int v = src[i];
        if ((i & 3) != 3) {
            v += (divisor ? v / divisor : 0) + add;
            v = v > 255 ? 255 : (v < 0 ? 0 : v);
        }
        dst[i] = (BYTE)v;
    }
    return block;
}

// The offset of the pixels from info of an uncompressed bottom-up DIB of
// 1, 4 or 8 bits per pixel with a 40-byte header followed by `entries`
// colours, when `size` bytes hold all its rows and its sides are at most
// kMaxSide (a negative height is refused like any absurd size); else 0.
DWORD PixelOffset(const BITMAPINFO *info, DWORD size, DWORD entries)
{
    if (!info || size < sizeof(BITMAPINFOHEADER))
        return 0;
    const BITMAPINFOHEADER &h = info->bmiHeader;
    const DWORD depth = h.biBitCount;
    if (h.biSize != sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 ||
        (depth != 1 && depth != 4 && depth != 8) || h.biCompression != BI_RGB ||
        h.biWidth <= 0 || h.biHeight <= 0 || h.biWidth > kMaxSide || h.biHeight > kMaxSide)
        return 0;
    const DWORD stride = (((DWORD)h.biWidth * depth + 31) / 32) * 4;
    const DWORD offset = sizeof(BITMAPINFOHEADER) + entries * sizeof(RGBQUAD);
    if ((unsigned long long)offset + (unsigned long long)stride * (DWORD)h.biHeight > size)
        return 0;
    return offset;
}

} // namespace

int ValidTextureDIB(const BITMAPINFO *info, DWORD size, DWORD *bitsOffset)
{
    // The table is read as 256 entries whatever biClrUsed says, but the
    // header travels with it into StretchDIBits, which must not look past it.
    const DWORD offset = PixelOffset(info, size, kPaletteEntries);
    if (!offset || info->bmiHeader.biBitCount != 8 ||
        info->bmiHeader.biClrUsed > (DWORD)kPaletteEntries)
        return 0;
    if (bitsOffset)
        *bitsOffset = offset;
    return 1;
}

int LoadDIB(HINSTANCE instance, LPCSTR name, BITMAPINFO **info, HGLOBAL *resource, DWORD *size)
{
    HRSRC found = FindResourceA(instance, name, (LPCSTR)RT_BITMAP);
    HGLOBAL handle = found ? LoadResource(instance, found) : NULL;
    void *p = handle ? LockResource(handle) : NULL;
    if (!p && handle) {
        FreeResource(handle);
        handle = NULL;
    }
    *info = static_cast<BITMAPINFO *>(p);
    *resource = handle;
    if (size)
        *size = p ? SizeofResource(instance, found) : 0;
    return p != NULL;
}

int DestroyDIB(HGLOBAL resource)
{
    if (!resource)
        return 0;
    return FreeResource(resource);
}

BITMAPINFO *CopyBMInfo(const BITMAPINFO *info)
{
    return AdjustedTable(info, 0, 0);
}

BITMAPINFO *HilightPal(const BITMAPINFO *info, int add, int divisor)
{
    return AdjustedTable(info, add, divisor);
}

BITMAPINFO *ShadowPal(const BITMAPINFO *info, int subtract)
{
    return AdjustedTable(info, -subtract, 0);
}

void FreeBMInfo(BITMAPINFO *block)
{
    if (!block)
        return;
    HGLOBAL h = GlobalHandle(block);
    if (h) {
        GlobalUnlock(h);
        GlobalFree(h);
    }
}

HPALETTE PaletteOfTable(const RGBQUAD *table, int count)
{
    if (!table || count < 1 || count > kPaletteEntries)
        return NULL;
    const DWORD bytes = sizeof(LOGPALETTE) + (kPaletteEntries - 1) * sizeof(PALETTEENTRY);
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!h)
        return NULL;
    LOGPALETTE *pal = static_cast<LOGPALETTE *>(GlobalLock(h));
    if (!pal) {
        GlobalFree(h);
        return NULL;
    }
    pal->palVersion = 0x300;
    pal->palNumEntries = (WORD)count;
    for (int i = 0; i < count; i++) {
        pal->palPalEntry[i].peRed = table[i].rgbRed;
        pal->palPalEntry[i].peGreen = table[i].rgbGreen;
        pal->palPalEntry[i].peBlue = table[i].rgbBlue;
        pal->palPalEntry[i].peFlags = 0;
    }
    HPALETTE palette = CreatePalette(pal);
    GlobalUnlock(h);
    GlobalFree(h);
    return palette;
}

HPALETTE CreateBestPalette(BITMAPINFO *const infos[3])
{
    const BITMAPINFO *normal = infos ? infos[TEX_NORMAL] : NULL;
    // Working blocks always carry a 40-byte header, so the table follows it.
    return normal ? PaletteOfTable(normal->bmiColors, kPaletteEntries) : NULL;
}

HBITMAP LoadDeviceBitmap(HINSTANCE instance, LPCSTR name)
{
    BITMAPINFO *info = NULL;
    HGLOBAL resource = NULL;
    DWORD size = 0;
    if (!LoadDIB(instance, name, &info, &resource, &size))
        return NULL;
    HBITMAP bitmap = NULL;
    const BITMAPINFOHEADER &h = info->bmiHeader;
    const DWORD depth = h.biBitCount;
    const DWORD colours = h.biClrUsed ? h.biClrUsed : (DWORD)1 << (depth & 15);
    const DWORD offset =
        colours <= ((DWORD)1 << (depth & 15)) ? PixelOffset(info, size, colours) : 0;
    if (offset) {
        HDC screen = GetDC(NULL);
        HPALETTE palette = NULL, previous = NULL;
        if (screen && (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE))
            palette = PaletteOfTable(info->bmiColors, (int)colours);
        if (palette) {
            previous = SelectPalette(screen, palette, TRUE);
            RealizePalette(screen);
        }
        if (screen)
            bitmap = CreateDIBitmap(screen, &h, CBM_INIT,
                                    reinterpret_cast<const BYTE *>(info) + offset, info,
                                    DIB_RGB_COLORS);
        if (previous)
            SelectPalette(screen, previous, TRUE);
        if (palette)
            DeleteObject(palette);
        if (screen)
            ReleaseDC(NULL, screen);
    }
    DestroyDIB(resource);
    return bitmap;
}

int DIBTex::Build(HINSTANCE instance, LPCSTR name, int variants, int create)
{
    BITMAPINFO *loaded = NULL;
    HGLOBAL resource = NULL;
    DWORD size = 0, bitsOffset = 0;
    if (!LoadDIB(instance, name, &loaded, &resource, &size))
        return 0;
    int drawn = 0;
    if (ValidTextureDIB(loaded, size, &bitsOffset)) {
        const int w = loaded->bmiHeader.biWidth, h = loaded->bmiHeader.biHeight;
        const void *bits = reinterpret_cast<const BYTE *>(loaded) + bitsOffset;
        BITMAPINFO *tables[3] = {NULL, NULL, NULL};
        BITMAPINFO *normal = tables[TEX_NORMAL] = CopyBMInfo(loaded);
        if (normal) {
            if (variants & (1 << TEX_HILIGHT))
                tables[TEX_HILIGHT] = HilightPal(normal, 40, 2);
            if (variants & (1 << TEX_SHADOW))
                tables[TEX_SHADOW] = ShadowPal(normal, 60);
            int wanted = 0, made = 0;
            for (int v = TEX_SHADOW; v <= TEX_HILIGHT; v++) {
                wanted += (variants >> v) & 1;
                made += ((variants >> v) & 1) && tables[v];
            }
            if (!create) {
                if (w == width && h == height)
                    drawn = Draw(bits, tables, variants, w, h, 0);
            } else if (made == wanted && wanted > 0) {
                palette = PaletteOfTable(normal->bmiColors, kPaletteEntries);
                drawn = Draw(bits, tables, variants, w, h, 1);
                if (drawn == wanted) {
                    width = w;
                    height = h;
                }
            }
        }
        for (int v = 0; v < 3; v++)
            FreeBMInfo(tables[v]);
    }
    DestroyDIB(resource);
    return drawn;
}

int DIBTex::Draw(const void *bits, BITMAPINFO *const tables[3], int variants, int w, int h,
                 int create)
{
    int drawn = 0;
    HDC screen = GetDC(NULL);
    HDC mem = screen ? CreateCompatibleDC(screen) : NULL;
    if (mem) {
        HPALETTE oldPal = NULL;
        if (palette) {
            oldPal = SelectPalette(mem, palette, FALSE);
            RealizePalette(mem);
        }
        for (int v = TEX_SHADOW; v <= TEX_HILIGHT; v++) {
            if (!tables[v] || !((variants >> v) & 1))
                continue;
            if (create)
                bitmaps[v] = CreateCompatibleBitmap(screen, w, h);
            if (!bitmaps[v])
                continue;
            HGDIOBJ old = SelectObject(mem, bitmaps[v]);
            StretchDIBits(mem, 0, 0, w, h, 0, 0, w, h, bits, tables[v], DIB_RGB_COLORS, SRCCOPY);
            SelectObject(mem, old);
            drawn++;
        }
        if (oldPal)
            SelectPalette(mem, oldPal, FALSE);
        DeleteDC(mem);
    }
    if (screen)
        ReleaseDC(NULL, screen);
    return drawn;
}

DIBTex::DIBTex(HINSTANCE instance, LPCSTR name, int variants)
    : palette(NULL), width(0), height(0)
{
    bitmaps[0] = bitmaps[1] = bitmaps[2] = NULL;
    Build(instance, name, variants, 1);

    // A texture missing a variant is left empty rather than half drawn.
    if (width == 0) {
        for (int v = 0; v < 3; v++) {
            if (bitmaps[v])
                DeleteObject(bitmaps[v]);
            bitmaps[v] = NULL;
        }
        if (palette)
            DeleteObject(palette);
        palette = NULL;
    }
}

int DIBTex::Refresh(HINSTANCE instance, LPCSTR name)
{
    if (IsEmpty())
        return 0;
    int variants = 0;
    for (int v = TEX_SHADOW; v <= TEX_HILIGHT; v++)
        if (bitmaps[v])
            variants |= 1 << v;
    return Build(instance, name, variants, 0) > 0;
}

DIBTex::~DIBTex()
{
    for (int v = 0; v < 3; v++)
        if (bitmaps[v])
            DeleteObject(bitmaps[v]);
    if (palette)
        DeleteObject(palette);
}

HBITMAP DIBTex::Bitmap(int variant) const
{
    if (variant < TEX_SHADOW || variant > TEX_HILIGHT)
        return NULL;
    return bitmaps[variant];
}

int DIBTex::TexMap(HDC dc, int x, int y, const RECT &area, int variant, DWORD rop)
{
    const int w = width, h = height;
    if (w == 0 || h == 0)
        return 0;
    HBITMAP tile = Bitmap(variant);
    if (!tile)
        return 0;
    // The first tile's corner in dc, at or left of and above the area;
    // tiles follow until the area's right and bottom edges are covered.
    const int left = FloorDiv(area.left + x, w) * w - x;
    const int top = FloorDiv(area.top + y, h) * h - y;

    HDC mem = CreateCompatibleDC(dc);
    if (!mem)
        return 1;
    HGDIOBJ old = SelectObject(mem, tile);
    for (int px = left; px < area.right; px += w)
        for (int py = top; py < area.bottom; py += h)
            BitBlt(dc, px, py, w, h, mem, 0, 0, rop);
    SelectObject(mem, old);
    DeleteDC(mem);
    return 1;
}

void DIBTex::ControlOffset(HWND control, POINT &offset)
{
    POINT origin = {0, 0};
    ClientToScreen(control, &origin);
    HWND parent = GetParent(control);
    RECT frame = {0, 0, 0, 0};
    // A window without a parent is its own texture space.
    if (!GetWindowRect(parent ? parent : control, &frame)) {
        offset.x = offset.y = 0;
        return;
    }
    offset.x = origin.x - frame.left;
    offset.y = origin.y - frame.top;
}

/* backdrop_preview <logo.wmf> <texture.bmp> <out.bmp> <width> <height>
 *
 * Draws what the installer's main window shows: the texture tiled over the
 * whole area, the placeable metafile logo stretched over it less a margin of
 * one twentieth all round, and the title in white over a black shadow.
 * Writes a 24-bit BMP. Built with MinGW and run under Wine by
 * contact-sheet.sh; not part of the installer. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

static unsigned char *ReadAll(const char *path, long *size)
{
    FILE *f = fopen(path, "rb");
    unsigned char *data;
    if (!f)
        return NULL;
    fseek(f, 0, SEEK_END);
    *size = ftell(f);
    fseek(f, 0, SEEK_SET);
    data = (unsigned char *)malloc(*size > 0 ? (size_t)*size : 1);
    if (data && fread(data, 1, (size_t)*size, f) != (size_t)*size) {
        free(data);
        data = NULL;
    }
    fclose(f);
    return data;
}

static int WriteBmp(const char *path, const unsigned char *bits, int w, int h)
{
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER ih;
    int stride = ((w * 24 + 31) / 32) * 4;
    FILE *f = fopen(path, "wb");
    if (!f)
        return 0;
    ZeroMemory(&fh, sizeof fh);
    ZeroMemory(&ih, sizeof ih);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + (DWORD)stride * h;
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    fwrite(&fh, sizeof fh, 1, f);
    fwrite(&ih, sizeof ih, 1, f);
    fwrite(bits, 1, (size_t)stride * h, f);
    return fclose(f) == 0;
}

int main(int argc, char **argv)
{
    long size = 0;
    unsigned char *wmf, *bits = NULL;
    int w, h, x, y, ok;
    HDC screen, dc;
    HBITMAP dib, tex, oldBmp;
    HMETAFILE logo;
    BITMAPINFO bi;

    if (argc != 6) {
        fprintf(stderr, "usage: backdrop_preview logo.wmf texture.bmp out.bmp width height\n");
        return 2;
    }
    w = atoi(argv[4]);
    h = atoi(argv[5]);
    wmf = ReadAll(argv[1], &size);
    if (!wmf || size < 40) {
        fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    /* The metafile proper follows the 22-byte placeable header; its size in
       words is at offset 28. */
    logo = SetMetaFileBitsEx(2 * *(DWORD *)(wmf + 28), wmf + 22);
    tex = (HBITMAP)LoadImageA(NULL, argv[2], IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    if (!logo || !tex) {
        fprintf(stderr, "cannot load the logo or the texture\n");
        return 1;
    }

    ZeroMemory(&bi, sizeof bi);
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    screen = GetDC(NULL);
    dc = CreateCompatibleDC(screen);
    dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, (void **)&bits, NULL, 0);
    ReleaseDC(NULL, screen);
    if (!dc || !dib)
        return 1;
    oldBmp = (HBITMAP)SelectObject(dc, dib);

    {   /* the texture, tile by tile from (0, 0) */
        HDC src = CreateCompatibleDC(dc);
        HBITMAP old = (HBITMAP)SelectObject(src, tex);
        BITMAP info;
        GetObjectA(tex, sizeof info, &info);
        for (x = 0; x < w; x += info.bmWidth)
            for (y = 0; y < h; y += info.bmHeight)
                BitBlt(dc, x, y, info.bmWidth, info.bmHeight, src, 0, 0, SRCCOPY);
        SelectObject(src, old);
        DeleteDC(src);
    }
    {   /* the logo, as the main window stretches it */
        int saved = SaveDC(dc), mx = w / 20, my = h / 20;
        SetMapMode(dc, MM_ANISOTROPIC);
        SetViewportExtEx(dc, w - 2 * mx, h - 2 * my, NULL);
        SetViewportOrgEx(dc, mx, my, NULL);
        PlayMetaFile(dc, logo);
        RestoreDC(dc, saved);
    }
    {   /* the title */
        static const char title[] = "Vellox v2.0 Demo for Adobe Photoshop 3.0/Photopaint 6.0";
        LOGFONTA lf;
        HFONT font, old;
        ZeroMemory(&lf, sizeof lf);
        lf.lfHeight = -(w / 40);
        lstrcpyA(lf.lfFaceName, "Arial");
        font = CreateFontIndirectA(&lf);
        old = (HFONT)SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        TextOutA(dc, 7, 7, title, lstrlenA(title));
        SetTextColor(dc, RGB(255, 255, 255));
        TextOutA(dc, 5, 5, title, lstrlenA(title));
        SelectObject(dc, old);
        DeleteObject(font);
    }
    GdiFlush();
    ok = WriteBmp(argv[3], bits, w, h);

    SelectObject(dc, oldBmp);
    DeleteObject(dib);
    DeleteDC(dc);
    DeleteObject(tex);
    DeleteMetaFile(logo);
    free(wmf);
    return ok ? 0 : 1;
}

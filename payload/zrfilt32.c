/* Sample filter plug-in: inverts a grey image, one row at a time, with the
 * help of the support library zrsupp32.dll, which it imports. */
#include <windows.h>
#include "payload/zrsample.h"

__declspec(dllimport) int ZrSuppVersion(void);
__declspec(dllimport) void ZrSuppInvertRow(unsigned char *row, int count);

__declspec(dllexport) void PluginMain(short selector, void *record, intptr_t *data, short *result)
{
    ZrImage *image = (ZrImage *)record;
    int y;

    if (!result)
        return;
    switch (selector) {
    case ZR_SELECT_ABOUT:
        if (data)
            *data = ZrSuppVersion();
        *result = ZR_OK;
        break;
    case ZR_SELECT_FILTER:
        if (!image || !image->pixels || image->width < 0 || image->height < 0 ||
            image->stride < image->width) {
            *result = ZR_BAD_RECORD;
            break;
        }
        for (y = 0; y < image->height; y++)
            ZrSuppInvertRow(image->pixels + (size_t)y * (size_t)image->stride, image->width);
        *result = ZR_OK;
        break;
    default:
        *result = ZR_BAD_SELECTOR;
        break;
    }
}

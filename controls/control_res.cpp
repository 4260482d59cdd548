#include "controls/control_res.h"

HBITMAP SafeLoadBitmap(HINSTANCE instance, LPCSTR name)
{
    HBITMAP bitmap = LoadBitmapA(instance, name);
    if (!bitmap)
        bitmap = LoadBitmapRW(name);
    return bitmap;
}

HBITMAP LoadBitmapRW(LPCSTR name)
{
    return NULL;
}

int SafeLoadString(HINSTANCE instance, UINT id, LPSTR buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    int copied = LoadStringA(instance, id, buffer, size);
    if (copied <= 0) {
        buffer[0] = '\0';
        return 0;
    }
    return copied;
}

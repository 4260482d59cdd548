#include "controls/control_res.h"

#include "graphics/dib_tex.h"

HBITMAP SafeLoadBitmap(HINSTANCE instance, LPCSTR name)
{
    // Through its own colour table first, so that a palette display shows
    // its colours; then as the system loads it.
    HBITMAP bitmap = LoadDeviceBitmap(instance, name);
    if (!bitmap)
        bitmap = LoadBitmapA(instance, name);
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

// Resource loaders used by the controls and handed to the sprites.
#ifndef SETUP_CONTROLS_CONTROL_RES_H
#define SETUP_CONTROLS_CONTROL_RES_H

#include <windows.h>

// The named bitmap from the module, else from LoadBitmapRW; null if neither.
HBITMAP SafeLoadBitmap(HINSTANCE instance, LPCSTR name);
// Pictures from outside the module's resources: there are none.
HBITMAP LoadBitmapRW(LPCSTR name);
// LoadStringA: characters copied, 0 (and an empty buffer) for a missing id.
int SafeLoadString(HINSTANCE instance, UINT id, LPSTR buffer, int size);

#endif

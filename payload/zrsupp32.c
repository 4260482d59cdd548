/* Sample support library of the demo filter: pixel routines the filter
 * calls through the DLL's import table. */
#include <windows.h>
#include "payload/zrsample.h"

__declspec(dllexport) int ZrSuppVersion(void)
{
    return ZR_SUPP_VERSION;
}

__declspec(dllexport) void ZrSuppInvertRow(unsigned char *row, int count)
{
    int i;
    for (i = 0; i < count; i++)
        row[i] = (unsigned char)(255 - row[i]);
}

/* Interface of the sample plug-in pair: the filter "zrfilt32.8bf" and its
 * support library "zrsupp32.dll". Both are stand-ins written for this
 * installer's demo payload; a host loads the filter and calls PluginMain. */
#ifndef PAYLOAD_ZRSAMPLE_H
#define PAYLOAD_ZRSAMPLE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Version of the support library, returned by ZrSuppVersion. */
#define ZR_SUPP_VERSION 0x0100

/* Selectors of PluginMain. */
#define ZR_SELECT_ABOUT  0   /* *data receives the support library's version */
#define ZR_SELECT_FILTER 1   /* record is a ZrImage; its pixels are inverted */

/* Results stored in *result. */
#define ZR_OK            0
#define ZR_BAD_SELECTOR  (-1)
#define ZR_BAD_RECORD    (-2)

/* An 8-bit grey image: height rows of width bytes, rows stride bytes apart. */
typedef struct ZrImage {
    unsigned char *pixels;
    int32_t width;
    int32_t height;
    int32_t stride;
} ZrImage;

/* Exported by the filter. */
typedef void (*ZrPluginMainProc)(short selector, void *record, intptr_t *data, short *result);

/* Exported by the support library. */
typedef int (*ZrSuppVersionProc)(void);
typedef void (*ZrSuppInvertRowProc)(unsigned char *row, int count);

#ifdef __cplusplus
}
#endif

#endif

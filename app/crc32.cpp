#include "app/crc32.h"

// gTable[0] is the classic byte-at-a-time table; gTable[k][n] is the CRC
// of byte n followed by k zero bytes, so sixteen table lookups fold
// sixteen bytes at once. Made on first use (16 KB that the file does not
// carry). Sixteen lookups a step keep the processor's load units busier
// than eight do, for fewer steps and half the loop's overhead.
enum { SLICES = 16 };
static uint32_t gTable[SLICES][256];
static int gTableReady;

static void MakeTables()
{
    for (uint32_t n = 0; n < 256; n++) {
        uint32_t c = n;
        for (int k = 0; k < 8; k++)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        gTable[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; n++) {
        uint32_t c = gTable[0][n];
        for (int k = 1; k < SLICES; k++) {
            c = gTable[0][c & 0xFF] ^ (c >> 8);
            gTable[k][n] = c;
        }
    }
    gTableReady = 1;
}

// Four bytes as a little-endian number; the compiler makes it one load.
static inline uint32_t Load32(const unsigned char *p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) |
           ((uint32_t)p[3] << 24);
}

uint32_t Crc32Update(uint32_t crc, const void *data, size_t size)
{
    if (!gTableReady)
        MakeTables();
    const unsigned char *p = (const unsigned char *)data;
    crc = ~crc;
    while (size && ((uintptr_t)p & 3)) {
        crc = gTable[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
        size--;
    }
    while (size >= SLICES) {
        uint32_t a = Load32(p) ^ crc, b = Load32(p + 4), c = Load32(p + 8), d = Load32(p + 12);
        crc = gTable[15][a & 0xFF] ^ gTable[14][(a >> 8) & 0xFF] ^ gTable[13][(a >> 16) & 0xFF] ^
              gTable[12][a >> 24] ^ gTable[11][b & 0xFF] ^ gTable[10][(b >> 8) & 0xFF] ^
              gTable[9][(b >> 16) & 0xFF] ^ gTable[8][b >> 24] ^ gTable[7][c & 0xFF] ^
              gTable[6][(c >> 8) & 0xFF] ^ gTable[5][(c >> 16) & 0xFF] ^ gTable[4][c >> 24] ^
              gTable[3][d & 0xFF] ^ gTable[2][(d >> 8) & 0xFF] ^ gTable[1][(d >> 16) & 0xFF] ^
              gTable[0][d >> 24];
        p += SLICES;
        size -= SLICES;
    }
    while (size--)
        crc = gTable[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

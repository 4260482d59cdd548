// Throughput of the installer's CRC-32 (app/crc32.cpp) over a buffer that
// stays in the cache, as the installer's 64 KB reading blocks do, built
// with the installer's compiler and flags and run under Wine; prints
// MB/s (10^6 bytes) as the median of 15 rounds. Given a file, also the time
// the installer's check of an expanded file takes (FileCrc32 of
// app/checklist.cpp: reading it back in 64 KB blocks and the CRC), median
// of 7 reads after one that brings it into the cache.
//
//   i686-w64-mingw32-g++-posix -Os -static -I. -o crc_bench.exe
//       bench/crc_bench.cpp app/crc32.cpp app/checklist.cpp
//   wine crc_bench.exe [MB per round] [file]
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <chrono>
#include <algorithm>

#include "app/checklist.h"
#include "app/crc32.h"

int main(int argc, char **argv)
{
    int mb = argc > 1 ? atoi(argv[1]) : 256;
    if (mb <= 0)
        mb = 256;
    const size_t block = 64 * 1024;
    static unsigned char buffer[64 * 1024];
    unsigned seed = 12345;   // fixed bytes, the same every run
    for (size_t i = 0; i < block; i++) {
        seed = seed * 1103515245u + 12345u;
        buffer[i] = (unsigned char)(seed >> 16);
    }
    if (Crc32Update(0, "123456789", 9) != 0xCBF43926u) {
        fprintf(stderr, "crc_bench: wrong CRC of the check string\n");
        return 1;
    }
    const size_t blocks = (size_t)mb * 1024 * 1024 / block;
    double rates[15];
    uint32_t crc = 0;
    for (int round = 0; round < 15; round++) {
        auto t0 = std::chrono::steady_clock::now();
        for (size_t i = 0; i < blocks; i++)
            crc = Crc32Update(crc, buffer, block);
        auto t1 = std::chrono::steady_clock::now();
        double s = std::chrono::duration<double>(t1 - t0).count();
        rates[round] = (double)blocks * block / s / 1e6;
    }
    std::sort(rates, rates + 15);
    printf("CRC-32: %.0f MB/s (median of 15 rounds of %d MiB; min %.0f, max %.0f; crc %08x)\n",
           rates[7], mb, rates[0], rates[14], (unsigned)crc);
    if (argc > 2) {
        double ms[7];
        DWORD size = 0, sum = 0;
        if (FileCrc32(argv[2], &size, &sum) != 1) {
            fprintf(stderr, "crc_bench: cannot read %s\n", argv[2]);
            return 1;
        }
        for (int round = 0; round < 7; round++) {
            auto t0 = std::chrono::steady_clock::now();
            FileCrc32(argv[2], &size, &sum);
            auto t1 = std::chrono::steady_clock::now();
            ms[round] = std::chrono::duration<double, std::milli>(t1 - t0).count();
        }
        std::sort(ms, ms + 7);
        printf("check of %s: %.1f ms for %lu bytes, %.0f MB/s (median of 7; min %.1f, max %.1f; crc %08lX)\n",
               argv[2], ms[3], (unsigned long)size, size / ms[3] / 1000, ms[0], ms[6],
               (unsigned long)sum);
    }
    return 0;
}

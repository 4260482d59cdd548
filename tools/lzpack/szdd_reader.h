// Unpacking of the SZDD format, strictly: any damage is an error.
#ifndef LZPACK_SZDD_READER_H
#define LZPACK_SZDD_READER_H

#include <cstdint>
#include <cstdio>
#include <string>

struct SzddHeader {
    unsigned char lastChar;   // missing last character of the original name, 0 if unknown
    uint32_t length;          // expanded length
};

// Reads the header and the stream from in and writes the expanded bytes to
// out. Fails on a bad signature or method, on a stream that ends before the
// expanded length is reached, on a reference that runs past that length
// and on bytes left over after the stream.
// Returns true on success; on failure false with a message in *error.
bool SzddUnpack(FILE *in, FILE *out, SzddHeader *header, std::string *error);

#endif

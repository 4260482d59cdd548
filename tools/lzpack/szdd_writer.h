// Packing into the SZDD format.
#ifndef LZPACK_SZDD_WRITER_H
#define LZPACK_SZDD_WRITER_H

#include <cstdint>
#include <cstdio>
#include <string>

// Packs size bytes into out: header, then the LZSS stream.
//
// buffer holds szdd::kWindowSize bytes of room followed by the size bytes
// to pack; the room is overwritten with the ring's initial blanks so that
// matches can reach into them. lastChar is stored in the header as the
// missing last character of the original name (0 when unknown).
//
// Returns true on success; on failure false with a message in *error.
bool SzddPack(unsigned char *buffer, uint64_t size, unsigned char lastChar, FILE *out,
              std::string *error);

#endif

// Constants of the SZDD compressed file format.
//
// A file is a 14-byte header followed by an LZSS stream. The header holds a
// fixed 8-byte signature, the method letter 'A', the last character of the
// original file name (0 when unknown) and the expanded length as a 32-bit
// little-endian number. The stream is a sequence of groups: one control
// byte, read from its lowest bit up, then for each bit either one literal
// byte (bit set) or a two-byte reference into a 4096-byte ring (bit clear).
// The ring starts filled with blanks and the first byte is written at
// position 4096 - 16. A reference b1 b2 names ring position
// b1 | (b2 & 0xF0) << 4 and length (b2 & 0x0F) + 3. There is no end marker:
// the reader stops after the expanded length.
#ifndef LZPACK_SZDD_FORMAT_H
#define LZPACK_SZDD_FORMAT_H

#include <cstdint>

namespace szdd {

const unsigned char kMagic[8] = {0x53, 0x5A, 0x44, 0x44, 0x88, 0xF0, 0x27, 0x33};
const unsigned char kMethodA = 'A';
const int kHeaderSize = 14;

const int kWindowSize = 4096;
const int kWindowMask = kWindowSize - 1;
const int kFirstWritePos = kWindowSize - 16;
const unsigned char kFill = 0x20;

const int kMinMatch = 3;
const int kMaxMatch = 18;
// Largest distance back a reference may reach. The ring would allow 4096
// (the byte about to be overwritten), but not every reader handles that
// case alike, so the writer stays one short of it.
const int kMaxDistance = kWindowSize - 1;

// The expanded length is a 32-bit field.
const uint64_t kMaxLength = 0xFFFFFFFFu;

} // namespace szdd

#endif

// CRC-32 (the polynomial of zip, PNG and Ethernet, reflected, 0xEDB88320),
// sixteen bytes a step through sixteen tables. Written to compile both into the
// installer, which links no C runtime, and into the host-side packer.
#ifndef SETUP_APP_CRC32_H
#define SETUP_APP_CRC32_H

#include <stddef.h>
#include <stdint.h>

// The CRC of size more bytes after those that gave crc; start with 0.
// Crc32Update(0, "123456789", 9) is 0xCBF43926.
uint32_t Crc32Update(uint32_t crc, const void *data, size_t size);

#endif

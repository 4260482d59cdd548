// The checksum list that setup.exe reads beside itself (app/checklist.h):
// one line per packed file with its name, its size after expansion and the
// CRC-32 of the expanded bytes, and a last line with the number of entries
// and the CRC-32 of every byte before it.
#ifndef LZPACK_CHECKSUM_LIST_H
#define LZPACK_CHECKSUM_LIST_H

#include <string>

// The entry of one packed file, "name size CRC\r\n", the name being the
// file's own name in lower case. False, with a message in *error, when the
// file does not unpack.
bool ChecksumEntry(const char *packedPath, std::string *entry, std::string *error);

// The list's last line for the entries before it.
std::string ChecksumListEnd(const std::string &entries, int count);

#endif

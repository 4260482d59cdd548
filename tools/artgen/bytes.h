// Little-endian byte buffers and whole-file output.
#ifndef ARTGEN_BYTES_H
#define ARTGEN_BYTES_H

#include <cstdint>
#include <string>
#include <vector>

typedef std::vector<uint8_t> Bytes;

class ByteWriter {
public:
    void U8(unsigned v) { data.push_back((uint8_t)v); }
    void U16(unsigned v) { U8(v & 0xFF); U8((v >> 8) & 0xFF); }
    void S16(int v) { U16((unsigned)(v & 0xFFFF)); }
    void U32(uint32_t v) { U16(v & 0xFFFF); U16(v >> 16); }
    void Append(const Bytes &b) { data.insert(data.end(), b.begin(), b.end()); }
    void PutU16At(size_t at, unsigned v);
    void PutU32At(size_t at, uint32_t v);
    size_t Size() const { return data.size(); }

    Bytes data;
};

// Writes the bytes to path; false (with a message on stderr) on failure.
bool SaveFile(const std::string &path, const Bytes &bytes);

#endif

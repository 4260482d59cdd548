#include "bytes.h"

#include <cstdio>

void ByteWriter::PutU16At(size_t at, unsigned v)
{
    data[at] = (uint8_t)(v & 0xFF);
    data[at + 1] = (uint8_t)((v >> 8) & 0xFF);
}

void ByteWriter::PutU32At(size_t at, uint32_t v)
{
    PutU16At(at, v & 0xFFFF);
    PutU16At(at + 2, v >> 16);
}

bool SaveFile(const std::string &path, const Bytes &bytes)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "artgen: cannot create %s\n", path.c_str());
        return false;
    }
    size_t n = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), f);
    bool ok = (n == bytes.size());
    if (std::fclose(f) != 0)
        ok = false;
    if (!ok)
        std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
    return ok;
}

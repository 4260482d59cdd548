#include "checksum_list.h"

#include <cstdio>
#include <cstring>

#include "app/crc32.h"
#include "szdd_reader.h"

namespace {

std::string LowerBaseName(const char *path)
{
    const char *slash = strrchr(path, '/');
    std::string name = slash ? slash + 1 : path;
    for (char &c : name)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    return name;
}

} // namespace

bool ChecksumEntry(const char *packedPath, std::string *entry, std::string *error)
{
    std::string name = LowerBaseName(packedPath);
    if (name.empty() || name.size() > 12 || name.find_first_of(" \t\r\n") != std::string::npos) {
        *error = "'" + name + "' is not an 8.3 file name";
        return false;
    }
    FILE *in = fopen(packedPath, "rb");
    if (!in) {
        *error = std::string("cannot open ") + packedPath;
        return false;
    }
    FILE *expanded = tmpfile();
    SzddHeader header = {0, 0};
    bool ok = expanded && SzddUnpack(in, expanded, &header, error) && fflush(expanded) == 0;
    fclose(in);
    uint32_t crc = 0;
    unsigned long long size = 0;
    if (ok) {
        rewind(expanded);
        static unsigned char block[1 << 16];
        size_t got;
        while ((got = fread(block, 1, sizeof block, expanded)) > 0) {
            crc = Crc32Update(crc, block, got);
            size += got;
        }
        ok = !ferror(expanded) && size == header.length;
        if (!ok)
            *error = "could not read the expanded bytes back";
    } else if (!expanded) {
        *error = "no temporary file";
    } else {
        *error = std::string(packedPath) + ": " + *error;
    }
    if (expanded)
        fclose(expanded);
    if (!ok)
        return false;
    char line[64];
    snprintf(line, sizeof line, "%-12s %10lu %08X\r\n", name.c_str(), (unsigned long)size,
             (unsigned)crc);
    *entry = line;
    return true;
}

std::string ChecksumListEnd(const std::string &entries, int count)
{
    char line[32];
    snprintf(line, sizeof line, "* %d %08X\r\n", count,
             (unsigned)Crc32Update(0, entries.data(), entries.size()));
    return line;
}

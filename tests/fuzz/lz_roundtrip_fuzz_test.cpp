// Random files packed by the project's own packer (its encoder is compiled
// into this test) and expanded by the platform's LZ library the way the
// installer calls it (LZStart, LZOpenFileA, CopyLZFile into a plain file
// handle, LZClose, LZDone); the expanded bytes must equal the input. The
// inputs favour what stresses a ring-buffer coder: runs of blanks (the
// ring's initial contents), repeats at distances near the ring size, long
// matches across the packer's 64 KiB parse chunks, and plain noise.
#include <windows.h>
#include <lzexpand.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_util.h"
#include "tools/lzpack/match_finder.cpp"
#include "tools/lzpack/szdd_writer.cpp"

namespace {

typedef std::vector<unsigned char> Bytes;

Bytes RandomFile(fuzz::Rng &rng)
{
    size_t size;
    if (rng.OneIn(10))
        size = rng.Below(20);
    else if (rng.OneIn(30))
        size = 60000 + rng.Below(20000);   // across a parse chunk
    else
        size = rng.Below(9000);
    Bytes b;
    b.reserve(size);
    int style = (int)rng.Below(5);
    while (b.size() < size) {
        uint32_t kind = rng.Below(6);
        size_t n = 1 + rng.Below(style == 0 ? 4 : 300);
        if (kind == 0 || style == 1) {                       // blanks
            b.insert(b.end(), n, ' ');
        } else if (kind == 1 && b.size() > 16) {            // an earlier piece
            size_t dist = rng.OneIn(2) ? 4093 + rng.Below(6) : 1 + rng.Below((uint32_t)b.size());
            if (dist > b.size())
                dist = b.size();
            for (size_t k = 0; k < n; k++)
                b.push_back(b[b.size() - dist]);
        } else if (kind == 2) {                              // one byte repeated
            b.insert(b.end(), n, (unsigned char)rng.Below(256));
        } else if (kind == 3 || style == 2) {                // words
            static const char *const kWords[] = {"plug-in ", "filter ", "zrfilt32", "\r\n", "MZ",
                                                 "\0\0\0\0", "    "};
            const char *w = kWords[rng.Below(7)];
            b.insert(b.end(), w, w + (w[0] ? strlen(w) : 4));
        } else {                                             // noise
            for (size_t k = 0; k < n; k++)
                b.push_back((unsigned char)rng.Below(256));
        }
    }
    b.resize(size);
    return b;
}

bool WriteAll(const char *path, const Bytes &bytes, unsigned char lastChar)
{
    FILE *f = fopen(path, "wb");
    if (!f)
        return false;
    // The packer wants room for the ring in front of the input.
    Bytes buffer(szdd::kWindowSize + bytes.size());
    std::copy(bytes.begin(), bytes.end(), buffer.begin() + szdd::kWindowSize);
    std::string error;
    bool ok = SzddPack(buffer.data(), bytes.size(), lastChar, f, &error);
    return fclose(f) == 0 && ok;
}

bool ReadAll(const char *path, Bytes *out)
{
    out->clear();
    FILE *f = fopen(path, "rb");
    if (!f)
        return false;
    unsigned char chunk[8192];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        out->insert(out->end(), chunk, chunk + n);
    fclose(f);
    return true;
}

// Expands source into target with the LZ library; the copied length, or a
// negative LZ error.
LONG Expand(const char *source, const char *target)
{
    if (LZStart() < 0)
        return -1000;
    OFSTRUCT of;
    INT src = LZOpenFileA((LPSTR)source, &of, OF_READ);
    if (src < 0) {
        LZDone();
        return src;
    }
    HANDLE dst = CreateFileA(target, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             NULL);
    if (dst == INVALID_HANDLE_VALUE) {
        LZClose(src);
        LZDone();
        return -1001;
    }
    LONG copied = CopyLZFile(src, (HFILE)(INT_PTR)dst);
    LZClose(src);
    CloseHandle(dst);
    LZDone();
    return copied;
}

} // namespace

TEST(Fuzz, PackerAndPlatformExpansionRoundTrip)
{
    // Short names: OFSTRUCT holds at most 127 characters of path.
    char dir[MAX_PATH];
    ASSERT_TRUE(GetWindowsDirectoryA(dir, sizeof dir) > 0);
    std::string base = std::string(dir).substr(0, 3) + "lzfz";
    CreateDirectoryA(base.c_str(), NULL);
    std::string packed = base + "\\in._", plain = base + "\\out.bin";
    fuzz::Rng rng(fuzz::kSeed);
    const long kFiles = fuzz::Loops(2000);
    long failures = 0, compressedBytes = 0, plainBytes = 0, biggest = 0;

    for (long i = 0; i < kFiles; i++) {
        Bytes input = RandomFile(rng);
        ASSERT_TRUE(WriteAll(packed.c_str(), input, 'x')) << "file " << i;
        Bytes packedBytes, back;
        ASSERT_TRUE(ReadAll(packed.c_str(), &packedBytes));
        LONG copied = Expand(packed.c_str(), plain.c_str());
        bool ok = copied == (LONG)input.size() && ReadAll(plain.c_str(), &back) && back == input;
        if (!ok && ++failures <= 5)
            ADD_FAILURE() << "file " << i << " of " << input.size() << " bytes: expanded " << copied;
        compressedBytes += (long)packedBytes.size();
        plainBytes += (long)input.size();
        if ((long)input.size() > biggest)
            biggest = (long)input.size();
    }
    DeleteFileA(packed.c_str());
    DeleteFileA(plain.c_str());
    RemoveDirectoryA(base.c_str());
    fuzz::Report("pack + lz32 expand", kFiles, failures);
    printf("fuzz: %ld bytes packed into %ld (largest file %ld bytes)\n", plainBytes,
           compressedBytes, biggest);
    EXPECT_EQ(0, failures);
}

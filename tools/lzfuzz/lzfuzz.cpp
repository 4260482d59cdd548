// lzfuzz: libFuzzer harness over the SZDD packer and unpacker of lzpack.
//
// The first input byte chooses what the rest is used for:
//   even: a file to pack. It is packed, unpacked again with the strict
//         reader and with a small independent decoder kept here, and both
//         results must equal the input; the header must record the length
//         and the last character.
//   odd:  a packed file as an attacker would write it. The strict reader
//         must not crash or read outside its buffers (the sanitizers watch);
//         when it accepts the file, its output must have the header's length
//         and match the independent decoder.
// Any disagreement aborts, which libFuzzer reports as a crash.
#include <cstdint>
#include <cstdio>
#include <new>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../lzpack/szdd_format.h"
#include "../lzpack/szdd_reader.h"
#include "../lzpack/szdd_writer.h"

namespace {

typedef std::vector<unsigned char> Bytes;

void Check(bool ok, const char *what)
{
    if (!ok) {
        fprintf(stderr, "lzfuzz: %s\n", what);
        abort();
    }
}

// Decodes a whole SZDD image held in memory. Returns false on anything it
// cannot follow; every read is bounds-checked against size.
bool ReferenceDecode(const unsigned char *p, size_t size, Bytes *out)
{
    out->clear();
    if (size < (size_t)szdd::kHeaderSize || memcmp(p, szdd::kMagic, 8) != 0 || p[8] != 'A')
        return false;
    uint32_t length = (uint32_t)p[10] | (uint32_t)p[11] << 8 | (uint32_t)p[12] << 16 |
                      (uint32_t)p[13] << 24;
    unsigned char ring[4096];
    memset(ring, ' ', sizeof ring);
    unsigned w = 4096 - 16;
    size_t in = szdd::kHeaderSize;
    while (out->size() < length) {
        if (in >= size)
            return false;
        unsigned control = p[in++];
        for (int bit = 0; bit < 8 && out->size() < length; bit++, control >>= 1) {
            if (control & 1) {
                if (in >= size)
                    return false;
                ring[w] = p[in++];
                out->push_back(ring[w]);
                w = (w + 1) % 4096;
                continue;
            }
            if (in + 2 > size)
                return false;
            unsigned pos = p[in] + ((p[in + 1] >> 4) << 8);
            unsigned n = (p[in + 1] & 15) + 3;
            in += 2;
            if (out->size() + n > length)
                return false;
            while (n--) {
                unsigned char b = ring[pos];
                pos = (pos + 1) % 4096;
                ring[w] = b;
                w = (w + 1) % 4096;
                out->push_back(b);
            }
        }
    }
    return in == size;
}

// A write stream over a fixed buffer, large enough for anything an input
// of libFuzzer's lengths can expand to; the bytes written are returned when
// it is closed. (open_memstream clears fresh memory on every call, which
// cost more than the packing itself.)
class MemOut {
public:
    MemOut() : buf_(new unsigned char[kCapacity]) { f_ = fmemopen(buf_, kCapacity, "wb"); }
    ~MemOut()
    {
        if (f_)
            fclose(f_);
        delete[] buf_;
    }
    FILE *file() const { return f_; }
    Bytes Close()
    {
        fflush(f_);
        long n = ftell(f_);
        fclose(f_);
        f_ = nullptr;
        Check(n >= 0 && (size_t)n < kCapacity, "output stream overflowed");
        return Bytes(buf_, buf_ + n);
    }

private:
    static const size_t kCapacity = 8u << 20;
    unsigned char *buf_;
    FILE *f_ = nullptr;
};

// A read-only stream over a copy of the bytes in a heap block of their
// exact size, so that the sanitizer sees any read beyond them.
class MemIn {
public:
    MemIn(const unsigned char *data, size_t size) : copy_(new unsigned char[size ? size : 1])
    {
        if (size)
            memcpy(copy_, data, size);
        // An empty stream: a one-byte buffer opened and read to its end.
        f_ = fmemopen(copy_, size ? size : 1, "rb");
        if (f_ && !size)
            fgetc(f_);
    }
    ~MemIn()
    {
        if (f_)
            fclose(f_);
        delete[] copy_;
    }
    FILE *file() const { return f_; }

private:
    unsigned char *copy_;
    FILE *f_ = nullptr;
};

void RoundTrip(const unsigned char *data, size_t size)
{
    // The packer wants the ring's room in front of the input.
    unsigned char *buffer = new unsigned char[szdd::kWindowSize + size];
    if (size)
        memcpy(buffer + szdd::kWindowSize, data, size);
    unsigned char last = size ? data[0] : 0;

    MemOut packedOut;
    Check(packedOut.file() != nullptr, "open_memstream failed");
    std::string error;
    Check(SzddPack(buffer, size, last, packedOut.file(), &error), "pack failed");
    delete[] buffer;
    Bytes packed = packedOut.Close();

    Check(packed.size() >= (size_t)szdd::kHeaderSize, "packed file shorter than its header");
    // Worst case: every byte a literal, one control byte per eight.
    Check(packed.size() <= szdd::kHeaderSize + size + (size + 7) / 8, "packed file too large");
    Check(packed[9] == last, "header lost the last character");

    MemIn in(packed.data(), packed.size());
    MemOut plain;
    SzddHeader header;
    Check(SzddUnpack(in.file(), plain.file(), &header, &error), "unpack of packed data failed");
    Bytes back = plain.Close();
    Check(header.length == size, "header length differs from the input");
    Check(back.size() == size && (size == 0 || memcmp(back.data(), data, size) == 0),
          "round trip changed the bytes");

    Bytes ref;
    Check(ReferenceDecode(packed.data(), packed.size(), &ref), "reference decoder refused");
    Check(ref == back, "reference decoder disagrees");
}

void Decode(const unsigned char *data, size_t size)
{
    MemIn in(data, size);
    Check(in.file() != nullptr, "fmemopen failed");
    MemOut plain;
    SzddHeader header;
    std::string error;
    bool ok = SzddUnpack(in.file(), plain.file(), &header, &error);
    Bytes out = plain.Close();
    Bytes ref;
    bool refOk = ReferenceDecode(data, size, &ref);
    Check(ok == refOk, "strict reader and reference decoder disagree on acceptance");
    if (ok) {
        Check(out.size() == header.length, "accepted stream of the wrong length");
        Check(out == ref, "strict reader and reference decoder disagree on bytes");
    } else {
        Check(!error.empty(), "refusal without a message");
    }
}

} // namespace

// The packer allocates about a megabyte of working arrays per call. Fresh
// large blocks cost the sanitizer a map and an unmap each, which made a
// run take milliseconds; large blocks are therefore kept for reuse. They
// still come from malloc, so the sanitizer knows their exact bounds and
// reports any access past them.
namespace {
const size_t kLargeBlock = 64 * 1024;
struct Cached {
    void *p;
    size_t size;
    bool used;
};
Cached gCache[16];
} // namespace

void *operator new[](size_t size)
{
    if (size >= kLargeBlock) {
        for (Cached &c : gCache)
            if (!c.used && c.p && c.size == size) {
                c.used = true;
                return c.p;
            }
        for (Cached &c : gCache)
            if (!c.p) {
                c.p = malloc(size);
                if (!c.p)
                    throw std::bad_alloc();
                c.size = size;
                c.used = true;
                return c.p;
            }
    }
    void *p = malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    return p;
}

void *operator new[](size_t size, const std::nothrow_t &) noexcept
{
    try {
        return operator new[](size);
    } catch (...) {
        return nullptr;
    }
}

void operator delete[](void *p) noexcept
{
    for (Cached &c : gCache)
        if (c.p == p && p) {
            c.used = false;
            return;
        }
    free(p);
}

void operator delete[](void *p, size_t) noexcept
{
    operator delete[](p);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    if ((data[0] & 1) == 0) {
        RoundTrip(data + 1, size - 1);
    } else {
        // Most raw inputs would fail at the signature; give half of them a
        // valid header so that the stream itself gets exercised.
        if (data[0] & 2) {
            Bytes framed(szdd::kMagic, szdd::kMagic + 8);
            framed.push_back('A');
            framed.insert(framed.end(), data + 1, data + size);
            Decode(framed.data(), framed.size());
        } else {
            Decode(data + 1, size - 1);
        }
    }
    return 0;
}

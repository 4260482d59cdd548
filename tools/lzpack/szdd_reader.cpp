#include "szdd_reader.h"

#include <cstring>

#include "szdd_format.h"

namespace {

// Writes expanded bytes through a buffer.
class Output {
public:
    explicit Output(FILE *out) : out_(out) {}
    ~Output() { Flush(); }
    void Put(unsigned char b)
    {
        buf_[used_++] = b;
        if (used_ == sizeof buf_)
            Flush();
    }
    void Flush()
    {
        if (used_)
            fwrite(buf_, 1, used_, out_);
        used_ = 0;
    }

private:
    FILE *out_;
    unsigned char buf_[1 << 16];
    size_t used_ = 0;
};

bool Fail(std::string *error, const char *text)
{
    *error = text;
    return false;
}

} // namespace

bool SzddUnpack(FILE *in, FILE *out, SzddHeader *header, std::string *error)
{
    unsigned char h[szdd::kHeaderSize];
    if (fread(h, 1, sizeof h, in) != sizeof h)
        return Fail(error, "not an SZDD file: shorter than its header");
    if (memcmp(h, szdd::kMagic, sizeof szdd::kMagic) != 0)
        return Fail(error, "not an SZDD file: wrong signature");
    if (h[8] != szdd::kMethodA)
        return Fail(error, "unsupported compression method (only 'A' is known)");
    header->lastChar = h[9];
    header->length = (uint32_t)h[10] | (uint32_t)h[11] << 8 | (uint32_t)h[12] << 16 |
                     (uint32_t)h[13] << 24;

    unsigned char ring[szdd::kWindowSize];
    memset(ring, szdd::kFill, sizeof ring);
    unsigned wpos = szdd::kFirstWritePos;
    uint64_t done = 0;
    const uint64_t length = header->length;

    Output sink(out);
    while (done < length) {
        int control = getc(in);
        if (control == EOF)
            return Fail(error, "stream ends before the expanded length is reached");
        for (int bit = 0; bit < 8 && done < length; bit++) {
            if (control & (1 << bit)) {
                int b = getc(in);
                if (b == EOF)
                    return Fail(error, "stream ends inside a literal");
                sink.Put((unsigned char)b);
                ring[wpos] = (unsigned char)b;
                wpos = (wpos + 1) & szdd::kWindowMask;
                done++;
            } else {
                int b1 = getc(in);
                int b2 = getc(in);
                if (b1 == EOF || b2 == EOF)
                    return Fail(error, "stream ends inside a reference");
                unsigned pos = (unsigned)b1 | ((unsigned)b2 & 0xF0) << 4;
                int n = (b2 & 0x0F) + szdd::kMinMatch;
                if (done + (uint64_t)n > length)
                    return Fail(error, "a reference runs past the expanded length");
                for (int k = 0; k < n; k++) {
                    // Read before write: a reference may name the slot about
                    // to be overwritten.
                    unsigned char b = ring[(pos + k) & szdd::kWindowMask];
                    sink.Put(b);
                    ring[wpos] = b;
                    wpos = (wpos + 1) & szdd::kWindowMask;
                }
                done += n;
            }
        }
    }
    sink.Flush();
    if (getc(in) != EOF)
        return Fail(error, "bytes left over after the expanded length");
    if (ferror(in))
        return Fail(error, "cannot read the input");
    if (ferror(out))
        return Fail(error, "cannot write the output");
    return true;
}

#include "szdd_writer.h"

#include <cstring>
#include <new>

#include "match_finder.h"
#include "szdd_format.h"

namespace {

// The parse is chosen a chunk at a time, so that the working arrays stay
// small whatever the size of the input.
const size_t kChunk = 1 << 16;
const int kChainDepth = 128;

// Cost of a literal and of a reference, in bits, control bit included.
const uint32_t kLiteralCost = 9;
const uint32_t kMatchCost = 17;

// Collects items into groups of one control byte and up to eight items.
class GroupWriter {
public:
    explicit GroupWriter(FILE *out) : out_(out) {}

    void Literal(unsigned char b)
    {
        group_[0] |= (unsigned char)(1u << items_);
        group_[used_++] = b;
        Next();
    }

    void Reference(unsigned ringPos, int length)
    {
        group_[used_++] = (unsigned char)(ringPos & 0xFF);
        group_[used_++] = (unsigned char)(((ringPos >> 4) & 0xF0) | (unsigned)(length - szdd::kMinMatch));
        Next();
    }

    void Flush()
    {
        if (items_ > 0)
            fwrite(group_, 1, used_, out_);
        Reset();
    }

private:
    void Next()
    {
        if (++items_ == 8)
            Flush();
    }
    void Reset()
    {
        group_[0] = 0;
        used_ = 1;
        items_ = 0;
    }

    FILE *out_;
    unsigned char group_[1 + 8 * 2] = {0};
    size_t used_ = 1;
    int items_ = 0;
};

void PutHeader(FILE *out, uint64_t size, unsigned char lastChar)
{
    unsigned char h[szdd::kHeaderSize];
    memcpy(h, szdd::kMagic, sizeof szdd::kMagic);
    h[8] = szdd::kMethodA;
    h[9] = lastChar;
    uint32_t n = (uint32_t)size;
    for (int i = 0; i < 4; i++)
        h[10 + i] = (unsigned char)(n >> (8 * i));
    fwrite(h, 1, sizeof h, out);
}

} // namespace

bool SzddPack(unsigned char *buffer, uint64_t size, unsigned char lastChar, FILE *out,
              std::string *error)
{
    if (size > szdd::kMaxLength) {
        *error = "input is larger than 4 GiB - 1 bytes, which the format cannot record";
        return false;
    }
    memset(buffer, szdd::kFill, szdd::kWindowSize);
    const size_t base = szdd::kWindowSize;
    const size_t total = base + (size_t)size;

    MatchFinder finder(buffer, total, szdd::kMaxDistance, szdd::kMaxMatch, kChainDepth);
    unsigned char *len = new (std::nothrow) unsigned char[kChunk];
    uint16_t *dist = new (std::nothrow) uint16_t[kChunk];
    uint32_t *cost = new (std::nothrow) uint32_t[kChunk + 1];
    unsigned char *take = new (std::nothrow) unsigned char[kChunk];
    bool ok = finder.ok() && len && dist && cost && take;
    if (!ok)
        *error = "out of memory";

    if (ok) {
        PutHeader(out, size, lastChar);
        for (size_t p = 0; p < base; p++)
            finder.Skip(p);

        GroupWriter groups(out);
        for (size_t start = base; start < total; start += kChunk) {
            size_t n = total - start < kChunk ? total - start : kChunk;

            // Longest match at every position, clipped to the chunk.
            for (size_t j = 0; j < n; j++) {
                int d = 0;
                int l = finder.Find(start + j, (int)(n - j), &d);
                len[j] = (unsigned char)l;
                dist[j] = (uint16_t)d;
            }

            // Cheapest parse from each position to the end of the chunk.
            // A match of length L implies matches of every shorter length
            // at the same distance, so all of them are candidates.
            cost[n] = 0;
            for (size_t j = n; j-- > 0;) {
                cost[j] = kLiteralCost + cost[j + 1];
                take[j] = 1;
                for (int l = len[j]; l >= szdd::kMinMatch; l--) {
                    uint32_t c = kMatchCost + cost[j + l];
                    if (c < cost[j]) {
                        cost[j] = c;
                        take[j] = (unsigned char)l;
                    }
                }
            }

            for (size_t j = 0; j < n;) {
                if (take[j] == 1) {
                    groups.Literal(buffer[start + j]);
                    j++;
                } else {
                    // Output index i lands at ring position (4080 + i) & 0xFFF;
                    // the reference names where its source was written.
                    uint64_t i = start + j - base;
                    unsigned ring = (unsigned)((szdd::kFirstWritePos + i - dist[j]) & szdd::kWindowMask);
                    groups.Reference(ring, take[j]);
                    j += take[j];
                }
            }
        }
        groups.Flush();
        if (ferror(out)) {
            *error = "cannot write the output";
            ok = false;
        }
    }

    delete[] len;
    delete[] dist;
    delete[] cost;
    delete[] take;
    return ok;
}

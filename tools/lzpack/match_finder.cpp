#include "match_finder.h"

#include <new>

MatchFinder::MatchFinder(const unsigned char *data, size_t size, int maxDistance, int maxLength,
                         int chainDepth)
    : data_(data), size_(size), maxDistance_(maxDistance), maxLength_(maxLength),
      chainDepth_(chainDepth)
{
    static_assert((1 << 13) >= 2 * 4096, "chain ring must cover the window twice");
    head_ = new (std::nothrow) int64_t[(size_t)1 << kHashBits];
    prev_ = new (std::nothrow) int64_t[kPrevSize];
    if (head_)
        for (size_t i = 0; i < ((size_t)1 << kHashBits); i++)
            head_[i] = -1;
    if (prev_)
        for (int i = 0; i < kPrevSize; i++)
            prev_[i] = -1;
}

MatchFinder::~MatchFinder()
{
    delete[] head_;
    delete[] prev_;
}

unsigned MatchFinder::Hash(size_t pos) const
{
    uint32_t v = (uint32_t)data_[pos] | (uint32_t)data_[pos + 1] << 8 | (uint32_t)data_[pos + 2] << 16;
    return (v * 2654435761u) >> (32 - kHashBits);
}

void MatchFinder::Insert(size_t pos)
{
    if (pos + 3 > size_)
        return;
    unsigned h = Hash(pos);
    prev_[pos % kPrevSize] = head_[h];
    head_[h] = (int64_t)pos;
}

void MatchFinder::Skip(size_t pos)
{
    Insert(pos);
}

int MatchFinder::Find(size_t pos, int limit, int *dist)
{
    *dist = 0;
    if (limit > maxLength_)
        limit = maxLength_;
    if ((size_t)limit > size_ - pos)
        limit = (int)(size_ - pos);
    if (limit < 3) {
        Insert(pos);
        return 0;
    }

    const unsigned char *cur = data_ + pos;
    int best = 0;
    int64_t cand = head_[Hash(pos)];
    for (int depth = 0; cand >= 0 && depth < chainDepth_; depth++) {
        size_t d = pos - (size_t)cand;
        if (d > (size_t)maxDistance_)
            break;
        const unsigned char *ref = data_ + cand;
        // Quick reject: a longer match must agree at the byte that would
        // extend the best one found so far.
        if (ref[best] == cur[best] && ref[0] == cur[0]) {
            int n = 0;
            while (n < limit && ref[n] == cur[n])
                n++;
            if (n > best) {
                best = n;
                *dist = (int)d;
                if (n == limit)
                    break;
            }
        }
        cand = prev_[cand % kPrevSize];
    }
    Insert(pos);
    if (best < 3) {
        *dist = 0;
        return 0;
    }
    return best;
}

// Longest-match search over a buffer with hash chains.
#ifndef LZPACK_MATCH_FINDER_H
#define LZPACK_MATCH_FINDER_H

#include <cstddef>
#include <cstdint>

// Finds, for one position after another, the longest earlier occurrence of
// the bytes that start there, no further back than a fixed distance.
// Positions must be visited in increasing order with Find, each exactly
// once; Find also records the position for later searches. Positions
// before the first searched one are recorded with Skip.
class MatchFinder {
public:
    // data/size: the whole buffer; chainDepth: how many candidates one
    // search examines at most.
    MatchFinder(const unsigned char *data, size_t size, int maxDistance, int maxLength,
                int chainDepth);
    ~MatchFinder();
    MatchFinder(const MatchFinder &) = delete;
    MatchFinder &operator=(const MatchFinder &) = delete;

    bool ok() const { return head_ != nullptr && prev_ != nullptr; }

    // Records position pos without searching.
    void Skip(size_t pos);

    // Searches at pos for a match of at most limit bytes (limit is clipped
    // to maxLength and to the end of the buffer), records pos, and returns
    // the match length (0 when shorter than 3) and its distance in *dist.
    int Find(size_t pos, int limit, int *dist);

private:
    static const int kHashBits = 16;
    static const int kPrevSize = 1 << 13;   // covers twice the largest distance

    unsigned Hash(size_t pos) const;
    void Insert(size_t pos);

    const unsigned char *data_;
    size_t size_;
    int maxDistance_;
    int maxLength_;
    int chainDepth_;
    int64_t *head_;   // last position with each hash, -1 for none
    int64_t *prev_;   // previous position with the same hash, by pos % kPrevSize
};

#endif

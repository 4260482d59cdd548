// Tools of the fuzz tests: a seeded random source, memory whose end is
// followed by an inaccessible page (so a read or write past a buffer faults
// at once), random texts drawn mostly from the characters the parsers react
// to, and the line every fuzz loop prints when it is done.
#ifndef TESTS_FUZZ_FUZZ_UTIL_H
#define TESTS_FUZZ_FUZZ_UTIL_H

#include <windows.h>

#include <cstdint>
#include <string>

namespace fuzz {

// Fixed seed of every loop; printed with the counts so that a run can be
// repeated exactly.
const uint64_t kSeed = 0x5EED2024u;

// xorshift64*: small, fast and the same on every platform.
class Rng {
public:
    explicit Rng(uint64_t seed) : s_(seed ? seed : 1) {}
    uint64_t Next()
    {
        s_ ^= s_ >> 12;
        s_ ^= s_ << 25;
        s_ ^= s_ >> 27;
        return s_ * 0x2545F4914F6CDD1DULL;
    }
    // Uniform in [0, n); 0 when n is 0.
    uint32_t Below(uint32_t n) { return n ? (uint32_t)(Next() % n) : 0; }
    bool OneIn(uint32_t n) { return Below(n) == 0; }

private:
    uint64_t s_;
};

// A text of length up to maxLen (no NUL inside): with probability the
// characters come from `alphabet`, otherwise any byte 1..255.
std::string RandomText(Rng &rng, int maxLen, const char *alphabet);

// Read-write memory of `size` bytes whose last byte lies right before a
// PAGE_NOACCESS page. Touching the byte after the end raises an access
// violation, which ends the test process (FaultReporter names the input).
class Guarded {
public:
    explicit Guarded(size_t capacity);
    ~Guarded();
    Guarded(const Guarded &) = delete;
    Guarded &operator=(const Guarded &) = delete;

    bool ok() const { return base_ != NULL; }
    // A block of size bytes (at most the capacity) ending at the guard page.
    unsigned char *Tail(size_t size) const { return end_ - size; }
    // Copies text and its NUL so that the NUL is the last accessible byte.
    char *PlaceText(const std::string &text) const;
    // 1 when the byte after the block is inaccessible (the guard is live).
    int GuardIsLive() const;

private:
    unsigned char *base_;
    unsigned char *end_;
    size_t capacity_;
};

// While it lives, a fault in the process first prints which loop was
// running and the input it was given (set with Current), then takes its
// course: the test process dies and the input is in the log.
class FaultReporter {
public:
    explicit FaultReporter(const char *what);
    ~FaultReporter();
    FaultReporter(const FaultReporter &) = delete;
    FaultReporter &operator=(const FaultReporter &) = delete;
    void Current(const std::string *input);

private:
    PVOID handler_;
};

// The number of inputs a loop runs: by default a twentieth of its full
// count (at least 100), which reaches the loops' coverage; FUZZ_LOOPS=full
// in the environment runs the full count (scripts/fuzz.sh does), and
// FUZZ_LOOPS=N runs N times the full count.
long Loops(long full);

// "fuzz: <what> <count> inputs, <failures> failures (seed 0x...)" on stdout.
void Report(const char *what, long count, long failures);

} // namespace fuzz

#endif

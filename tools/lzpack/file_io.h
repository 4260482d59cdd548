// File access for lzpack: whole-file input and all-or-nothing output.
#ifndef LZPACK_FILE_IO_H
#define LZPACK_FILE_IO_H

#include <cstdint>
#include <cstdio>
#include <string>

// Reads a regular file into a new buffer that starts with room spare bytes;
// the file's bytes follow them. Files longer than maxSize are refused before
// anything is read. The caller frees *buffer with free().
bool ReadInput(const char *path, size_t room, uint64_t maxSize, unsigned char **buffer,
               uint64_t *size, std::string *error);

// An output file that appears under its final name only when it is
// complete: it is written to a temporary file in the same directory and
// renamed over the final name by Commit. Anything not committed is removed.
class AtomicOutput {
public:
    AtomicOutput() = default;
    ~AtomicOutput();
    AtomicOutput(const AtomicOutput &) = delete;
    AtomicOutput &operator=(const AtomicOutput &) = delete;

    bool Open(const char *finalPath, std::string *error);
    FILE *file() const { return file_; }
    bool Commit(std::string *error);

private:
    void Discard();

    std::string final_;
    std::string temp_;
    FILE *file_ = nullptr;
};

#endif

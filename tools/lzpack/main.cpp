// lzpack: packs a file into the SZDD format read by the Windows LZ
// expansion library (LZOpenFile/CopyLZFile, EXPAND.EXE), or unpacks one.
//
//   lzpack [-v] [-n original-name] <input> <output>
//   lzpack [-v] -d <input> <output>
//   lzpack -l <packed>...
//
// The header records the last character of the original file name, which
// a packed name conventionally replaces with '_' ("setup.ex_"). It is the
// last character of the -n name when one is given; otherwise, when the
// output name ends in '_', the last character of the input's name; else 0.
//
// With -l it prints the checksum list of the packed files that setup.exe
// checks before it installs them (checksum_list.h); given one file, that
// file's entry and a last line for a list of it alone.
//
// Exit status: 0 on success, 1 on an error, 2 on bad usage. The output
// appears only when it is complete. A packed file larger than its input is
// said on standard error.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "checksum_list.h"
#include "file_io.h"
#include "szdd_format.h"
#include "szdd_reader.h"
#include "szdd_writer.h"

namespace {

const char kUsage[] =
    "usage: lzpack [-v] [-n original-name] <input> <output>\n"
    "       lzpack [-v] -d <input> <output>\n"
    "       lzpack -l <packed>...\n"
    "Packs <input> into the SZDD format (or with -d unpacks it) and writes <output>.\n"
    "  -n NAME  original name of the file; its last character is recorded in the header\n"
    "  -d       unpack instead of pack\n"
    "  -l       print the checksum list of packed files (name, expanded size, CRC-32)\n"
    "  -v       print the sizes\n";

const char *BaseName(const char *path)
{
    const char *slash = strrchr(path, '/');
    return slash ? slash + 1 : path;
}

char LastChar(const char *name)
{
    name = BaseName(name);
    size_t n = strlen(name);
    return n ? name[n - 1] : 0;
}

unsigned char MissingChar(const char *originalName, const char *input, const char *output)
{
    if (originalName)
        return (unsigned char)LastChar(originalName);
    if (LastChar(output) == '_')
        return (unsigned char)LastChar(input);
    return 0;
}

int Error(const char *what, const std::string &detail)
{
    fprintf(stderr, "lzpack: %s%s%s\n", what, detail.empty() ? "" : ": ", detail.c_str());
    return 1;
}

int Pack(const char *input, const char *output, const char *originalName, bool verbose)
{
    unsigned char *buffer = nullptr;
    uint64_t size = 0;
    std::string error;
    if (!ReadInput(input, szdd::kWindowSize, szdd::kMaxLength, &buffer, &size, &error))
        return Error("refusing to pack", error);

    AtomicOutput out;
    bool ok = out.Open(output, &error) &&
              SzddPack(buffer, size, MissingChar(originalName, input, output), out.file(), &error) &&
              out.Commit(&error);
    free(buffer);
    if (!ok)
        return Error("packing failed", error);
    FILE *f = fopen(output, "rb");
    long packed = -1;
    if (f && fseek(f, 0, SEEK_END) == 0)
        packed = ftell(f);
    if (f)
        fclose(f);
    if (verbose)
        printf("%s: %llu -> %ld bytes\n", output, (unsigned long long)size, packed);
    // Data that does not compress grows by a control byte per eight.
    if (packed >= 0 && (uint64_t)packed > size) {
        uint64_t grown = (uint64_t)packed - size;
        if (size)
            fprintf(stderr,
                    "lzpack: note: %s is %.1f %% larger than %s (%llu -> %ld bytes): "
                    "the data does not compress\n",
                    output, grown * 100.0 / size, input, (unsigned long long)size, packed);
        else
            fprintf(stderr, "lzpack: note: %s is the %ld-byte header alone: %s is empty\n", output,
                    packed, input);
    }
    return 0;
}

int Unpack(const char *input, const char *output, bool verbose)
{
    FILE *in = fopen(input, "rb");
    if (!in)
        return Error("cannot open", input);
    std::string error;
    SzddHeader header = {0, 0};
    AtomicOutput out;
    bool ok = out.Open(output, &error) && SzddUnpack(in, out.file(), &header, &error) &&
              out.Commit(&error);
    fclose(in);
    if (!ok)
        return Error("unpacking failed", std::string(input) + ": " + error);
    if (verbose)
        printf("%s: %lu bytes, last character of the name %s%c%s\n", output,
               (unsigned long)header.length, header.lastChar ? "'" : "",
               header.lastChar ? header.lastChar : '?', header.lastChar ? "'" : " (unknown)");
    return 0;
}

// Prints the list only when every file unpacked.
int List(char **paths, int count)
{
    std::string entries, entry, error;
    for (int i = 0; i < count; i++) {
        if (!ChecksumEntry(paths[i], &entry, &error))
            return Error("no checksum entry", error);
        entries += entry;
    }
    std::string list = entries + ChecksumListEnd(entries, count);
    if (fwrite(list.data(), 1, list.size(), stdout) != list.size() || fflush(stdout) != 0)
        return Error("cannot write the list", "");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const char *originalName = nullptr;
    bool unpack = false;
    bool verbose = false;
    bool list = false;
    int i = 1;
    for (; i < argc && argv[i][0] == '-' && argv[i][1] != '\0'; i++) {
        const char *opt = argv[i];
        if (strcmp(opt, "--") == 0) {
            i++;
            break;
        } else if (strcmp(opt, "-h") == 0 || strcmp(opt, "--help") == 0) {
            fputs(kUsage, stdout);
            return 0;
        } else if (strcmp(opt, "-d") == 0) {
            unpack = true;
        } else if (strcmp(opt, "-l") == 0) {
            list = true;
        } else if (strcmp(opt, "-v") == 0) {
            verbose = true;
        } else if (strcmp(opt, "-n") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                fprintf(stderr, "lzpack: -n needs a file name\n%s", kUsage);
                return 2;
            }
            originalName = argv[++i];
        } else {
            fprintf(stderr, "lzpack: unknown option %s\n%s", opt, kUsage);
            return 2;
        }
    }
    if (list) {
        if (unpack || originalName || verbose || i == argc) {
            fprintf(stderr, "lzpack: -l takes packed files and no other option\n%s", kUsage);
            return 2;
        }
        return List(argv + i, argc - i);
    }
    if (argc - i != 2) {
        fprintf(stderr, "lzpack: need an input and an output file\n%s", kUsage);
        return 2;
    }
    if (unpack && originalName) {
        fprintf(stderr, "lzpack: -n applies to packing only\n%s", kUsage);
        return 2;
    }
    const char *input = argv[i];
    const char *output = argv[i + 1];
    return unpack ? Unpack(input, output, verbose) : Pack(input, output, originalName, verbose);
}

// lzvectors: writes the test inputs for the packer into a directory, the
// same bytes on every run. Each file exercises one corner of the format:
// nothing at all, a single byte, references into the blank-filled start of
// the ring, distances around the ring size, incompressible data, every byte
// value, and a long mixture.
//
//   lzvectors <directory>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

typedef std::vector<unsigned char> Bytes;

// A small deterministic generator (xorshift32).
class Random {
public:
    explicit Random(unsigned seed) : s_(seed ? seed : 1) {}
    unsigned Next()
    {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 17;
        s_ ^= s_ << 5;
        return s_;
    }
    unsigned Below(unsigned n) { return Next() % n; }
    void Fill(Bytes &out, size_t n)
    {
        for (size_t i = 0; i < n; i++)
            out.push_back((unsigned char)(Next() >> 24));
    }

private:
    unsigned s_;
};

void Append(Bytes &out, const char *text)
{
    out.insert(out.end(), text, text + strlen(text));
}

// Copies n bytes from d bytes back, one at a time, as an overlapping
// reference would.
void CopyBack(Bytes &out, size_t d, size_t n)
{
    for (size_t i = 0; i < n; i++)
        out.push_back(out[out.size() - d]);
}

Bytes Blanks()
{
    Bytes b(9000, ' ');
    Append(b, "end of blanks\r\n");
    return b;
}

// A start that matches the ring's initial blanks, and random blocks
// repeated at distances just below, at and just above the ring size.
Bytes Edge()
{
    Random r(7);
    Bytes b;
    // Blanks after 100 non-blank bytes: their only source is the part of
    // the ring that has not been written yet.
    for (int i = 0; i < 100; i++)
        b.push_back((unsigned char)('A' + r.Below(26)));
    b.insert(b.end(), 40, ' ');
    const size_t distances[] = {4094, 4095, 4096, 4097, 4111, 4112, 8191};
    for (size_t d : distances) {
        r.Fill(b, d);
        CopyBack(b, d, 300);
    }
    return b;
}

Bytes Text()
{
    static const char *const words[] = {"plug-in", "filter", "directory", "texture", "install",
                                        "window",  "bitmap", "palette",   "runtime", "sample"};
    Random r(11);
    Bytes b;
    char line[160];
    for (int i = 1; b.size() < 80000; i++) {
        snprintf(line, sizeof line, "Line %05d: the %s copies the %s to the %s (%u).\r\n", i,
                 words[r.Below(10)], words[r.Below(10)], words[r.Below(10)], r.Below(1000));
        Append(b, line);
    }
    return b;
}

Bytes RandomBytes()
{
    Random r(3);
    Bytes b;
    r.Fill(b, 65537);
    return b;
}

Bytes AllValues()
{
    Bytes b;
    for (int v = 0; v < 256; v++)
        b.push_back((unsigned char)v);
    for (int v = 255; v >= 0; v--)
        b.insert(b.end(), (size_t)(v % 40) + 1, (unsigned char)v);
    for (int rep = 0; rep < 8; rep++)
        for (int v = 0; v < 256; v += rep + 1)
            b.push_back((unsigned char)v);
    return b;
}

// Random data, runs and copies from random distances, mixed.
Bytes Mixed()
{
    Random r(5);
    Bytes b;
    r.Fill(b, 64);
    while (b.size() < 1536 * 1024) {
        switch (r.Below(4)) {
        case 0:
            r.Fill(b, 1 + r.Below(200));
            break;
        case 1:
            b.insert(b.end(), 1 + r.Below(300), (unsigned char)r.Below(256));
            break;
        default: {
            size_t d = 1 + r.Below(b.size() < 5000 ? (unsigned)b.size() : 5000u);
            CopyBack(b, d, 1 + r.Below(60));
            break;
        }
        }
    }
    return b;
}

bool Write(const std::string &dir, const char *name, const Bytes &b)
{
    std::string path = dir + "/" + name;
    FILE *f = fopen(path.c_str(), "wb");
    if (!f) {
        fprintf(stderr, "lzvectors: cannot create %s\n", path.c_str());
        return false;
    }
    bool ok = b.empty() || fwrite(b.data(), 1, b.size(), f) == b.size();
    ok = fclose(f) == 0 && ok;
    if (!ok)
        fprintf(stderr, "lzvectors: cannot write %s\n", path.c_str());
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: lzvectors <directory>\n");
        return 2;
    }
    std::string dir = argv[1];
    bool ok = Write(dir, "empty.dat", Bytes()) && Write(dir, "one.dat", Bytes(1, 'Z')) &&
              Write(dir, "blanks.txt", Blanks()) && Write(dir, "edge.dat", Edge()) &&
              Write(dir, "text.txt", Text()) && Write(dir, "random.dat", RandomBytes()) &&
              Write(dir, "bytes.dat", AllValues()) && Write(dir, "mixed.dat", Mixed());
    return ok ? 0 : 1;
}

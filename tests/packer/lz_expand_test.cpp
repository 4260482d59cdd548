// Expands the files that lzpack made with the platform's own LZ expansion
// library, called as the installer calls it (LZStart, LZOpenFileA,
// CopyLZFile, LZClose, LZDone), and compares the results with the
// originals byte for byte. The expanded sample plug-in is then loaded and
// run, and the two runtime variants are told apart.
#include <windows.h>
#include <lzexpand.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "payload/zrsample.h"

namespace {

typedef std::vector<unsigned char> Bytes;

// The LZ library hands out handles from 0x400 up for compressed files and
// passes ordinary file handles through for plain ones.
const INT kLzMinHandle = 0x400;

// A Unix path of the build tree as Wine sees it (drive Z: is the root).
std::string BuildPath(const char *relative)
{
    std::string p = std::string("Z:") + TEST_BINARY_DIR + "/" + relative;
    for (char &c : p)
        if (c == '/')
            c = '\\';
    return p;
}

bool ReadFileBytes(const std::string &path, Bytes *out)
{
    out->clear();
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = GetFileSize(f, NULL);
    out->resize(size);
    DWORD got = 0;
    BOOL ok = size == 0 || ReadFile(f, out->data(), size, &got, NULL);
    CloseHandle(f);
    return ok && got == size;
}

// A directory of its own under the prefix's temporary directory, removed
// with its files at the end.
class ScratchDir {
public:
    ScratchDir()
    {
        char base[MAX_PATH];
        DWORD n = GetTempPathA(sizeof base, base);
        if (n == 0 || n >= sizeof base)
            return;
        for (int i = 0; i < 1000 && path_.empty(); i++) {
            std::string p = std::string(base) + "lzx" + std::to_string(GetTickCount() % 100000 + i);
            if (CreateDirectoryA(p.c_str(), NULL))
                path_ = p + "\\";
        }
    }
    ~ScratchDir()
    {
        if (path_.empty())
            return;
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((path_ + "*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileA((path_ + fd.cFileName).c_str());
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(path_.c_str());
    }
    bool ok() const { return !path_.empty(); }
    std::string File(const char *name) const { return path_ + name; }

private:
    std::string path_;
};

// The result of one expansion through the LZ library.
struct Expansion {
    INT source = -1;     // handle LZOpenFileA gave for the source
    INT target = -1;
    LONG copied = -99;   // CopyLZFile's result
};

// Expands source into target in the installer's calling order.
Expansion Expand(const std::string &source, const std::string &target)
{
    Expansion e;
    if (LZStart() < 0)
        return e;
    OFSTRUCT ofSource, ofTarget;
    e.source = LZOpenFileA(const_cast<LPSTR>(source.c_str()), &ofSource, OF_READ);
    if (e.source != -1) {
        e.target = LZOpenFileA(const_cast<LPSTR>(target.c_str()), &ofTarget, OF_CREATE);
        if (e.target != -1) {
            e.copied = CopyLZFile(e.source, e.target);
            LZClose(e.target);
        }
        LZClose(e.source);
    }
    LZDone();
    return e;
}

// Expands packed into dir\name and checks the result against original.
void ExpectExpandsTo(const std::string &packed, const std::string &original, const ScratchDir &dir,
                     const char *name)
{
    SCOPED_TRACE(packed);
    Bytes want, got;
    ASSERT_TRUE(ReadFileBytes(original, &want)) << "missing original " << original;
    std::string target = dir.File(name);
    Expansion e = Expand(packed, target);
    ASSERT_NE(-1, e.source) << "cannot open " << packed;
    // A handle of the LZ library's own range means the header was accepted
    // as compressed; a plain file would come back as an ordinary handle.
    EXPECT_GE(e.source, kLzMinHandle) << "not recognised as compressed";
    ASSERT_NE(-1, e.target);
    EXPECT_EQ((LONG)want.size(), e.copied);
    ASSERT_TRUE(ReadFileBytes(target, &got));
    ASSERT_EQ(want.size(), got.size());
    EXPECT_TRUE(want == got) << "expanded bytes differ";
}

// The last byte of the name in the header, as the library reports it
// through the expanded name.
std::string ExpandedName(const std::string &packed)
{
    char name[MAX_PATH] = {0};
    if (GetExpandedNameA(const_cast<LPSTR>(packed.c_str()), name) != 1)
        return std::string();
    const char *slash = strrchr(name, '\\');
    return slash ? slash + 1 : name;
}

// FileDescription from a file's version resource (version.dll loaded here,
// the test executables do not link it).
std::string FileDescription(const std::string &path)
{
    typedef DWORD(WINAPI * SizeProc)(LPCSTR, LPDWORD);
    typedef BOOL(WINAPI * InfoProc)(LPCSTR, DWORD, DWORD, LPVOID);
    typedef BOOL(WINAPI * QueryProc)(LPCVOID, LPCSTR, LPVOID *, PUINT);
    std::string result;
    HMODULE version = LoadLibraryA("version.dll");
    if (!version)
        return result;
    SizeProc size = (SizeProc)(void *)GetProcAddress(version, "GetFileVersionInfoSizeA");
    InfoProc info = (InfoProc)(void *)GetProcAddress(version, "GetFileVersionInfoA");
    QueryProc query = (QueryProc)(void *)GetProcAddress(version, "VerQueryValueA");
    DWORD handle = 0;
    DWORD n = size && info && query ? size(path.c_str(), &handle) : 0;
    if (n) {
        std::vector<char> block(n);
        void *text = NULL;
        UINT len = 0;
        if (info(path.c_str(), 0, n, block.data()) &&
            query(block.data(), "\\StringFileInfo\\040904E4\\FileDescription", &text, &len) && text)
            result = (const char *)text;
    }
    FreeLibrary(version);
    return result;
}

} // namespace

// Every test input the build packed comes back unchanged, and the library
// restores each name's last character from the header.
TEST(LzExpand, TestInputsExpandToTheirOriginals)
{
    static const char *const vectors[] = {"empty.dat", "one.dat",    "blanks.txt", "edge.dat",
                                          "text.txt",  "random.dat", "bytes.dat",  "mixed.dat"};
    ScratchDir dir;
    ASSERT_TRUE(dir.ok());
    for (const char *v : vectors) {
        std::string original = BuildPath((std::string("lztest/") + v).c_str());
        std::string packed = original;
        packed[packed.size() - 1] = '_';
        ExpectExpandsTo(packed, original, dir, v);
        EXPECT_EQ(v, ExpandedName(packed));
    }
}

// The four packed payload files beside setup.exe expand to the files the
// build made, under the names the installer gives them.
TEST(LzExpand, PayloadExpandsToTheBuiltFiles)
{
    static const struct {
        const char *packed;
        const char *original;
        const char *installed;
    } files[] = {
        {"dist/msvcrt20._ll", "payload/msvcrt20.dll", "msvcrt20.dll"},
        {"dist/msvcrt20._2s", "payload/msvcrt20-win32s.dll", "msvcrt20.dll"},
        {"dist/zrsupp32._ll", "payload/zrsupp32.dll", "zrsupp32.dll"},
        {"dist/zrfilt32._bf", "payload/zrfilt32.8bf", "zrfilt32.8bf"},
    };
    for (const auto &f : files) {
        ScratchDir dir;
        ASSERT_TRUE(dir.ok());
        ExpectExpandsTo(BuildPath(f.packed), BuildPath(f.original), dir, f.installed);
        Bytes packed;
        ASSERT_TRUE(ReadFileBytes(BuildPath(f.packed), &packed));
        ASSERT_GE(packed.size(), 14u);
        // The header records the last character of the installed name.
        EXPECT_EQ(f.installed[strlen(f.installed) - 1], (char)packed[9]) << f.packed;
    }
}

// The expanded filter loads from its directory together with the expanded
// support library it imports, and works.
TEST(LzExpand, ExpandedPluginRunsWithItsSupportLibrary)
{
    ScratchDir dir;
    ASSERT_TRUE(dir.ok());
    ASSERT_GT(Expand(BuildPath("dist/zrsupp32._ll"), dir.File("zrsupp32.dll")).copied, 0);
    ASSERT_GT(Expand(BuildPath("dist/zrfilt32._bf"), dir.File("zrfilt32.8bf")).copied, 0);

    HMODULE filter = LoadLibraryExA(dir.File("zrfilt32.8bf").c_str(), NULL,
                                    LOAD_WITH_ALTERED_SEARCH_PATH);
    ASSERT_TRUE(filter != NULL) << "error " << GetLastError();
    ZrPluginMainProc main = (ZrPluginMainProc)(void *)GetProcAddress(filter, "PluginMain");
    ASSERT_TRUE(main != NULL);

    short result = 99;
    intptr_t data = 0;
    main(ZR_SELECT_ABOUT, NULL, &data, &result);
    EXPECT_EQ(ZR_OK, result);
    EXPECT_EQ(ZR_SUPP_VERSION, data);

    // 5 x 3 pixels in rows of 8 bytes: the padding must stay untouched.
    unsigned char pixels[3 * 8];
    for (int i = 0; i < 24; i++)
        pixels[i] = (unsigned char)(i * 10);
    ZrImage image = {pixels, 5, 3, 8};
    main(ZR_SELECT_FILTER, &image, &data, &result);
    EXPECT_EQ(ZR_OK, result);
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 8; x++) {
            int i = y * 8 + x;
            int want = x < 5 ? 255 - i * 10 : i * 10;
            EXPECT_EQ(want, pixels[i]) << "pixel " << x << "," << y;
        }

    ZrImage bad = {NULL, 5, 3, 8};
    main(ZR_SELECT_FILTER, &bad, &data, &result);
    EXPECT_EQ(ZR_BAD_RECORD, result);
    main(7, NULL, &data, &result);
    EXPECT_EQ(ZR_BAD_SELECTOR, result);
    FreeLibrary(filter);

    // Without its support library beside it the filter does not load: it
    // really imports it.
    ScratchDir alone;
    ASSERT_TRUE(alone.ok());
    ASSERT_GT(Expand(BuildPath("dist/zrfilt32._bf"), alone.File("zrfilt32.8bf")).copied, 0);
    HMODULE orphan = LoadLibraryExA(alone.File("zrfilt32.8bf").c_str(), NULL,
                                    LOAD_WITH_ALTERED_SEARCH_PATH);
    EXPECT_TRUE(orphan == NULL);
    if (orphan)
        FreeLibrary(orphan);
}

// The two runtime variants say which one they are, in their version
// resource and in the marker string the library returns.
TEST(LzExpand, RuntimeVariantsAreTellableApart)
{
    // Expanded under names of their own: Wine answers version queries for
    // any file called msvcrt20.dll from its built-in library instead.
    ScratchDir dir;
    ASSERT_TRUE(dir.ok());
    std::string nt = dir.File("runtime-nt.dll");
    std::string win32s = dir.File("runtime-win32s.dll");
    ASSERT_GT(Expand(BuildPath("dist/msvcrt20._ll"), nt).copied, 0);
    ASSERT_GT(Expand(BuildPath("dist/msvcrt20._2s"), win32s).copied, 0);

    const std::string ntText = "Sample C runtime stand-in for Windows NT and Windows 95";
    const std::string win32sText = "Sample C runtime stand-in for Win32s";
    EXPECT_EQ(ntText, FileDescription(nt));
    EXPECT_EQ(win32sText, FileDescription(win32s));

    Bytes a, b;
    ASSERT_TRUE(ReadFileBytes(nt, &a));
    ASSERT_TRUE(ReadFileBytes(win32s, &b));
    std::string sa(a.begin(), a.end()), sb(b.begin(), b.end());
    EXPECT_NE(std::string::npos, sa.find(ntText));
    EXPECT_EQ(std::string::npos, sa.find(win32sText));
    EXPECT_NE(std::string::npos, sb.find(win32sText));
    EXPECT_EQ(std::string::npos, sb.find(ntText));

    // Both are DLLs: an "MZ" header and a PE image flagged as a library.
    for (const Bytes *f : {&a, &b}) {
        ASSERT_GT(f->size(), 0x100u);
        EXPECT_EQ('M', (*f)[0]);
        EXPECT_EQ('Z', (*f)[1]);
        DWORD pe = *(const DWORD *)(f->data() + 0x3C);
        ASSERT_LT(pe + 24, f->size());
        EXPECT_EQ(0, memcmp(f->data() + pe, "PE\0\0", 4));
        WORD characteristics = *(const WORD *)(f->data() + pe + 4 + 18);
        EXPECT_TRUE(characteristics & IMAGE_FILE_DLL);
    }
}

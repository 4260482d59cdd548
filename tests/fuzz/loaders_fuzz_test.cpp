// The logo loader and the texture loader fed with resources of every wrong
// size and with damaged headers. The resource bytes are served from memory
// that ends at an inaccessible page (see ResourceHook), so a loader that
// reads one byte beyond its resource ends the run; one that accepts a
// resource too short for what its header announces fails the check.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/globals.h"
#include "app/main.h"
#include "graphics/dib_tex.h"
#include "tests/fuzz/fuzz_util.h"
#include "tests/fuzz/res_hook.h"

namespace {

typedef std::vector<unsigned char> Bytes;

const int kApmHeader = 22;
const int kMetaHeader = 18;
const int kSizeField = kApmHeader + 6;

// The shipped logo, read before any hook is in place.
Bytes RealLogo()
{
    Bytes b;
    HRSRC info = FindResourceA(ghInst, "OrrinLogo", "METAFILE");
    HGLOBAL res = info ? LoadResource(ghInst, info) : NULL;
    const unsigned char *p = res ? (const unsigned char *)LockResource(res) : NULL;
    if (p)
        b.assign(p, p + SizeofResource(ghInst, info));
    return b;
}

void PutWords(Bytes &b, DWORD words)
{
    for (int i = 0; i < 4; i++)
        b[kSizeField + i] = (unsigned char)(words >> (8 * i));
}

// An uncompressed bottom-up 8-bit DIB with a full colour table.
Bytes MakeDIB(int w, int h)
{
    Bytes b(sizeof(BITMAPINFOHEADER) + 1024 + (size_t)((w + 3) & ~3) * h);
    BITMAPINFOHEADER bh;
    memset(&bh, 0, sizeof bh);
    bh.biSize = sizeof bh;
    bh.biWidth = w;
    bh.biHeight = h;
    bh.biPlanes = 1;
    bh.biBitCount = 8;
    bh.biCompression = BI_RGB;
    memcpy(b.data(), &bh, sizeof bh);
    for (size_t i = sizeof bh; i < b.size(); i++)
        b[i] = (unsigned char)(i * 7);
    return b;
}

} // namespace

TEST(Fuzz, LogoLoaderRefusesShortOrDamagedResources)
{
    Bytes logo = RealLogo();
    ASSERT_GT(logo.size(), (size_t)(kApmHeader + kMetaHeader));
    DWORD realWords = logo[kSizeField] | logo[kSizeField + 1] << 8 | logo[kSizeField + 2] << 16 |
                      (DWORD)logo[kSizeField + 3] << 24;
    ASSERT_EQ(logo.size(), kApmHeader + realWords * 2);

    fuzz::Guarded mem(logo.size() + 4096);
    ASSERT_TRUE(mem.ok() && mem.GuardIsLive());
    ResourceHook hook;
    ASSERT_TRUE(hook.ok());
    fuzz::Rng rng(fuzz::kSeed);
    fuzz::FaultReporter report("LoadAPMMetaFile");
    long inputs = 0, failures = 0, accepted = 0;

    // Every length from nothing to beyond the whole logo, each with the
    // logo's own size field and with sizes around what the length holds.
    for (size_t size = 0; size <= logo.size() + 64; size++) {
        DWORD fits = size > (size_t)kApmHeader ? (DWORD)(size - kApmHeader) / 2 : 0;
        const DWORD words[] = {realWords, fits, fits + 1, fits - 1, 0, 8, 9, 0xFFFFFFFFu,
                               0x80000000u, (DWORD)rng.Next()};
        for (DWORD wcount : words) {
            Bytes blob(size);
            for (size_t k = 0; k < size; k++)
                blob[k] = k < logo.size() ? logo[k] : (unsigned char)rng.Below(256);
            if (size >= (size_t)kSizeField + 4)
                PutWords(blob, wcount);
            unsigned char *placed = mem.Tail(size);
            if (size)
                memcpy(placed, blob.data(), size);
            std::string note((const char *)blob.data(), size < 64 ? size : 64);
            report.Current(&note);
            hook.Serve("METAFILE", placed, (DWORD)size);

            HMETAFILE meta = LoadAPMMetaFile(ghInst, "OrrinLogo");
            inputs++;
            // Readable: the header, and the announced records within the
            // resource. Records are the logo's own only when the size is.
            bool whole = size >= (size_t)(kApmHeader + kMetaHeader) && wcount >= 9 &&
                         wcount <= fits;
            bool ok = hook.finds() == 1;
            if (meta) {
                accepted++;
                ok = ok && whole && GetMetaFileBitsEx(meta, 0, NULL) == wcount * 2;
                DeleteMetaFile(meta);
            } else {
                // The shipped logo, whole, must load.
                ok = ok && !(wcount == realWords && size >= logo.size());
            }
            ok = ok && hook.loads() <= 1 && hook.frees() == hook.loads();
            if (!ok && ++failures <= 5)
                ADD_FAILURE() << "resource of " << size << " bytes announcing " << wcount
                              << " words: " << (meta ? "accepted" : "refused");
        }
    }
    fuzz::Report("LoadAPMMetaFile", inputs, failures);
    printf("fuzz: LoadAPMMetaFile accepted %ld of them\n", accepted);
    EXPECT_EQ(0, failures);
    EXPECT_GT(accepted, 0);
}

TEST(Fuzz, TextureLoaderRefusesShortOrDamagedResources)
{
    const int kW = 13, kH = 9;   // rows padded to 16 bytes
    Bytes dib = MakeDIB(kW, kH);
    fuzz::Guarded mem(64 * 1024);
    ASSERT_TRUE(mem.ok() && mem.GuardIsLive());
    fuzz::Rng rng(fuzz::kSeed);
    long inputs = 0, failures = 0;

    // The checker alone, a million headers (fuzz::Loops) with random fields:
    // whatever it accepts must lie wholly within the bytes it was given.
    {
        fuzz::FaultReporter report("ValidTextureDIB");
        for (long i = 0, n = fuzz::Loops(1000000); i < n; i++) {
            Bytes b = dib;
            BITMAPINFOHEADER *h = (BITMAPINFOHEADER *)b.data();
            switch (rng.Below(8)) {
            case 0: h->biWidth = (LONG)rng.Next(); break;
            case 1: h->biHeight = (LONG)rng.Next(); break;
            case 2: h->biWidth = (LONG)rng.Below(70) - 3; h->biHeight = (LONG)rng.Below(70) - 3; break;
            case 3: h->biSize = (DWORD)rng.Below(200); break;
            case 4: h->biBitCount = (WORD)rng.Below(33); break;
            case 5: h->biClrUsed = (DWORD)rng.Next(); break;
            case 6: h->biCompression = (DWORD)rng.Below(6); break;
            default: break;
            }
            size_t size = rng.OneIn(2) ? rng.Below((uint32_t)b.size() + 8)
                                       : (size_t)rng.Below(64 * 1024);
            unsigned char *placed = mem.Tail(size);
            memcpy(placed, b.data(), size < b.size() ? size : b.size());
            if (size > b.size())
                memset(placed + b.size(), 0x33, size - b.size());
            DWORD offset = 0;
            int valid = ValidTextureDIB((const BITMAPINFO *)placed, (DWORD)size, &offset);
            bool ok = true;
            if (valid) {
                const BITMAPINFOHEADER *ph = (const BITMAPINFOHEADER *)placed;
                unsigned long long need = offset +
                    (unsigned long long)((ph->biWidth + 3) & ~3) * (unsigned long long)ph->biHeight;
                ok = ph->biWidth > 0 && ph->biHeight > 0 && ph->biBitCount == 8 &&
                     offset >= sizeof(BITMAPINFOHEADER) + 1024 && need <= size;
            } else {
                // An unchanged header with all its bytes is usable.
                ok = !(size >= dib.size() &&
                       memcmp(placed, dib.data(), sizeof(BITMAPINFOHEADER)) == 0);
            }
            inputs++;
            if (!ok && ++failures <= 5)
                ADD_FAILURE() << "header " << i << " with " << size << " bytes: "
                              << (valid ? "accepted" : "refused");
        }
    }

    // The whole texture build from a resource of every length, the full
    // one and a little more included.
    ResourceHook hook;
    ASSERT_TRUE(hook.ok());
    fuzz::FaultReporter report("DIBTex");
    long built = 0;
    for (size_t size = 0; size <= dib.size() + 8; size++) {
        unsigned char *placed = mem.Tail(size);
        memcpy(placed, dib.data(), size < dib.size() ? size : dib.size());
        if (size > dib.size())
            memset(placed + dib.size(), 0, size - dib.size());
        hook.Serve((LPCSTR)RT_BITMAP, placed, (DWORD)size);
        DIBTex tex(ghInst, "QzSwirl");
        bool full = size >= dib.size();
        bool ok = full ? (tex.Width() == kW && tex.Height() == kH && tex.Bitmap(TEX_SHADOW) &&
                          tex.Bitmap(TEX_NORMAL) && tex.Bitmap(TEX_HILIGHT) && tex.Palette())
                       : (tex.IsEmpty() && !tex.Bitmap(TEX_NORMAL) && !tex.Palette());
        ok = ok && hook.frees() == hook.loads();
        built += full;
        inputs++;
        if (!ok && ++failures <= 5)
            ADD_FAILURE() << "texture resource of " << size << " bytes: " << tex.Width() << "x"
                          << tex.Height();
    }
    // Random small textures, some cut short: the device bitmaps are made
    // from pixel rows that end right at the guard.
    for (int i = 0; i < 2000; i++) {
        int w = 1 + (int)rng.Below(40), h = 1 + (int)rng.Below(40);
        Bytes b = MakeDIB(w, h);
        size_t size = rng.OneIn(3) ? rng.Below((uint32_t)b.size()) : b.size();
        unsigned char *placed = mem.Tail(size);
        memcpy(placed, b.data(), size);
        hook.Serve((LPCSTR)RT_BITMAP, placed, (DWORD)size);
        DIBTex tex(ghInst, "BlueTex");
        bool ok = size == b.size() ? (tex.Width() == w && tex.Height() == h) : tex.IsEmpty();
        built += size == b.size();
        inputs++;
        if (!ok && ++failures <= 5)
            ADD_FAILURE() << w << "x" << h << " texture of " << size << " bytes";
    }
    fuzz::Report("ValidTextureDIB+DIBTex", inputs, failures);
    printf("fuzz: %ld textures built\n", built);
    EXPECT_EQ(0, failures);
}

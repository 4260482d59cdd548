// artgen <outdir>: writes the installer's bitmaps, icon and logo metafile.
// Everything is computed; the same bytes come out on every run.
#include <cstdio>
#include <filesystem>
#include <string>

#include "bmp_file.h"
#include "icon_art.h"
#include "logo_art.h"
#include "quantize.h"
#include "sprite_art.h"
#include "texture_art.h"

namespace {

const uint32_t kMagenta = 0xFF00FF, kWhite = 0xFFFFFF;
const int kVgaMagenta = 13;

bool WriteKeyed(const std::string &path, const Image &img, uint32_t key)
{
    std::vector<uint32_t> palette;
    std::vector<uint8_t> indices;
    IndexWithKey(img, key, palette, indices);
    return SaveFile(path, MakeBmp(img.Width(), img.Height(), 8, palette, indices));
}

bool WriteLettering(const std::string &path, const Image &img)
{
    std::vector<uint8_t> indices;
    IndexFixed(img, VgaPalette(), kVgaMagenta, indices);
    return SaveFile(path, MakeBmp(img.Width(), img.Height(), 4, VgaPalette(), indices));
}

bool WriteTexture(const std::string &path, const Texture &t)
{
    return SaveFile(path, MakeBmp(kTextureSize, kTextureSize, 8, t.palette, t.indices));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen <outdir>\n");
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(argv[1], ec);
    std::string dir = std::string(argv[1]) + "/";

    bool ok = true;
    ok &= WriteKeyed(dir + "ALERT.bmp", MakeMarkStrip('!'), kMagenta);
    ok &= WriteKeyed(dir + "QUESTION.bmp", MakeMarkStrip('?'), kMagenta);
    ok &= WriteKeyed(dir + "BULLET.bmp", MakeBulletStrip(), kMagenta);
    ok &= WriteKeyed(dir + "CHECKBOX.bmp", MakeCheckStrip(), kWhite);
    ok &= WriteLettering(dir + "OKBUTTON.bmp", MakeLettering("Ok", 54, 32, 28, 3.5, 2.5));
    ok &= WriteLettering(dir + "CANCELBUTTON.bmp", MakeLettering("Cancel", 78, 20, 16, 1.5, 2.0));
    ok &= WriteTexture(dir + "QZSWIRL.bmp", MakeSwirlTexture());
    ok &= WriteTexture(dir + "BLUETEX.bmp", MakeBlueTexture());
    ok &= SaveFile(dir + "SETUP.ico", MakeIconFile(MakeIconPicture()));
    ok &= SaveFile(dir + "ORRINLOGO.wmf", MakeLogoMetafile());
    return ok ? 0 : 1;
}

// artgen <outdir>: writes the installer's bitmaps, icon and logo metafile.
// Everything is computed; the same bytes come out on every run.
#include <cstdio>
#include <filesystem>
#include <string>

#include "bmp_file.h"
#include "icon_art.h"
#include "logo_art.h"
#include "quantize.h"
#include "shared_palette.h"
#include "sprite_art.h"
#include "texture_art.h"

namespace {

const uint32_t kMagenta = 0xFF00FF, kWhite = 0xFFFFFF;
const int kVgaMagenta = 13;

// Levels kept of each texture's ramp; the picture strips get the rest of
// the shared table.
const int kPageLevels = 40, kBackLevels = 32;

bool WriteKeyed(const std::string &path, const Image &img, uint32_t key,
                const SharedPalette &shared)
{
    std::vector<uint8_t> indices;
    if (!shared.IndexPicture(img, key, indices))
        return false;
    return SaveFile(path, MakeBmp(img.Width(), img.Height(), 8, shared.Table(), indices));
}

bool WriteLettering(const std::string &path, const Image &img)
{
    std::vector<uint8_t> indices;
    IndexFixed(img, VgaPalette(), kVgaMagenta, indices);
    return SaveFile(path, MakeBmp(img.Width(), img.Height(), 4, VgaPalette(), indices));
}

bool WriteTexture(const std::string &path, const Texture &t, const SharedPalette &shared)
{
    return SaveFile(path, MakeBmp(kTextureSize, kTextureSize, 8, shared.Table(),
                                  shared.TextureIndices(t)));
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

    Image alert = MakeMarkStrip('!'), question = MakeMarkStrip('?');
    Image bullet = MakeBulletStrip(), check = MakeCheckStrip();
    Texture swirl = MakeSwirlTexture(), blue = MakeBlueTexture();
    std::vector<uint32_t> logoColours;
    Bytes logo = MakeLogoMetafile(&logoColours);
    SharedPalette shared(swirl, kPageLevels, blue, kBackLevels, logoColours,
                         {&alert, &question, &bullet, &check});

    bool ok = shared.Fits();
    ok &= WriteKeyed(dir + "ALERT.bmp", alert, kMagenta, shared);
    ok &= WriteKeyed(dir + "QUESTION.bmp", question, kMagenta, shared);
    ok &= WriteKeyed(dir + "BULLET.bmp", bullet, kMagenta, shared);
    ok &= WriteKeyed(dir + "CHECKBOX.bmp", check, kWhite, shared);
    ok &= WriteLettering(dir + "OKBUTTON.bmp", MakeLettering("Ok", 54, 32, 28, 3.5, 2.5));
    ok &= WriteLettering(dir + "CANCELBUTTON.bmp", MakeLettering("Cancel", 78, 20, 16, 1.5, 2.0));
    ok &= WriteTexture(dir + "QZSWIRL.bmp", swirl, shared);
    ok &= WriteTexture(dir + "BLUETEX.bmp", blue, shared);
    ok &= SaveFile(dir + "SETUP.ico", MakeIconFile(MakeIconPicture()));
    ok &= SaveFile(dir + "ORRINLOGO.wmf", logo);
    return ok ? 0 : 1;
}

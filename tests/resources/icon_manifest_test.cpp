// The program icon and the application manifest.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "app/globals.h"
#include "res_bytes.h"
#include "tests/support/win_test.h"

namespace {

TEST(Icon, OneSixteenColourIconOf32PixelsWithTransparentCorners)
{
    ResBytes group;
    ASSERT_TRUE(LoadResBytes("Setup", RT_GROUP_ICON, group));
    ASSERT_EQ(6u + 14u, group.size) << "a group of one icon";
    EXPECT_EQ(0u, group.U16(0));
    EXPECT_EQ(1u, group.U16(2));
    EXPECT_EQ(1u, group.U16(4));
    EXPECT_EQ(32u, group.U8(6));
    EXPECT_EQ(32u, group.U8(7));
    EXPECT_EQ(16u, group.U8(8));
    EXPECT_EQ(1u, group.U16(10));
    EXPECT_EQ(4u, group.U16(12));
    unsigned id = group.U16(18);

    ResBytes image;
    ASSERT_TRUE(LoadResBytes(MAKEINTRESOURCEA(id), RT_ICON, image));
    EXPECT_EQ(group.U32(14), image.size);
    EXPECT_EQ(40ul, image.U32(0));
    EXPECT_EQ(32ul, image.U32(4));
    EXPECT_EQ(64ul, image.U32(8)) << "colour image and mask";
    EXPECT_EQ(4u, image.U16(14));
    EXPECT_EQ(40u + 16 * 4 + 32 * 16 + 32 * 4, image.size);

    // Drawn, it leaves its corners transparent.
    HICON icon = LoadIconA(ghInst, "Setup");
    ASSERT_TRUE(icon != NULL);
    const COLORREF back = RGB(0, 160, 0);
    wintest::DibCanvas canvas(32, 32, back);
    ASSERT_TRUE(DrawIconEx(canvas.dc(), 0, 0, icon, 32, 32, 0, NULL, DI_NORMAL));
    EXPECT_EQ(back, canvas.Get(0, 0));
    EXPECT_EQ(back, canvas.Get(31, 0));
    EXPECT_EQ(back, canvas.Get(0, 31));
    EXPECT_EQ(back, canvas.Get(31, 31));
    int drawn = 0, red = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            COLORREF c = canvas.Get(x, y);
            drawn += c != back;
            red += c == RGB(255, 0, 0);
        }
    EXPECT_GT(drawn, 400);
    EXPECT_GT(red, 20);
    DestroyIcon(icon);
}

TEST(Manifest, AsksForAdministratorAndNamesVistaToTen)
{
    ResBytes res;
    ASSERT_TRUE(LoadResBytes(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24), res));
    std::string text(reinterpret_cast<const char *>(res.data), res.size);
    EXPECT_NE(std::string::npos, text.find("level=\"requireAdministrator\""));
    const char *systems[] = {
        "{e2011457-1546-43c5-a5fe-008deee3d3f0}",   // Vista
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",   // 7
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",   // 8
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",   // 8.1
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",   // 10
    };
    for (const char *id : systems)
        EXPECT_NE(std::string::npos, text.find(id)) << id;
    EXPECT_EQ(std::string::npos, text.find("dpiAware"));
    EXPECT_EQ(std::string::npos, text.find("dpiAwareness"));
}

} // namespace

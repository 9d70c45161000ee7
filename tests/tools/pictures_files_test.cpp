// The committed pictures in res/: formats, sizes, the one shared palette, and keys that sit seamlessly on the panel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "tests/tools/pictures_bmp_reader.h"
#include "tools/pictures/key_art.h"
#include "tools/pictures/key_layout.h"
#include "tools/pictures/palette.h"

namespace {

using pictures::Keys;
using pictures_test::Bitmap;
using pictures_test::ReadBitmap;

const std::string Res = QUORVEX_RES_DIR;

std::string KeyPath(int bitmapId) {
    char name[32];
    std::snprintf(name, sizeof name, "/keys/key_%03d.bmp", bitmapId);
    return Res + name;
}

Bitmap Panel() { return ReadBitmap(Res + "/panel.bmp"); }

TEST(PicturesFiles, PanelIsAn8BitPictureOfTheWindowSize) {
    const Bitmap panel = Panel();
    ASSERT_EQ(panel.problem, "");
    EXPECT_EQ(panel.width, 630);
    EXPECT_EQ(panel.height, 384);
}

TEST(PicturesFiles, EveryKeyHasBothPicturesAtItsOwnSize) {
    for (const auto& k : Keys) {
        for (const int id : {k.id - 1825, k.id - 1800}) {
            const Bitmap key = ReadBitmap(KeyPath(id));
            ASSERT_EQ(key.problem, "") << "bitmap " << id;
            EXPECT_EQ(key.width, k.width) << "bitmap " << id;
            EXPECT_EQ(key.height, k.height) << "bitmap " << id;
        }
    }
}

TEST(PicturesFiles, AllPicturesShareThePanelPaletteWhichIsTheGeneratorsPalette) {
    const Bitmap panel = Panel();
    ASSERT_EQ(panel.problem, "");
    const auto& shared = pictures::SharedPalette();
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(panel.palette[i * 4 + 2], shared[i].r) << i;
        EXPECT_EQ(panel.palette[i * 4 + 1], shared[i].g) << i;
        EXPECT_EQ(panel.palette[i * 4 + 0], shared[i].b) << i;
        EXPECT_EQ(panel.palette[i * 4 + 3], 0) << i;
    }
    for (int id = 175; id <= 224; ++id) EXPECT_EQ(ReadBitmap(KeyPath(id)).palette, panel.palette) << "bitmap " << id;
}

TEST(PicturesFiles, PaletteHoldsBlackAndWhiteForTheDisplayText) {
    const auto& p = pictures::SharedPalette();
    EXPECT_EQ(p[0].r + p[0].g + p[0].b, 0);
    EXPECT_EQ(p[255].r + p[255].g + p[255].b, 3 * 255);
}

TEST(PicturesFiles, NormalKeyIsExactlyThePanelUnderItsRectangle) {
    const Bitmap panel = Panel();
    ASSERT_EQ(panel.problem, "");
    for (const auto& k : Keys) {
        const Bitmap key = ReadBitmap(KeyPath(k.id - 1825));
        ASSERT_EQ(key.problem, "");
        int differing = 0;
        for (int y = 0; y < k.height; ++y)
            for (int x = 0; x < k.width; ++x) differing += key.At(x, y) != panel.At(k.x + x, k.y + y);
        EXPECT_EQ(differing, 0) << "key " << k.id;
    }
}

// Outside the collar both states show the panel; inside, the pressed cap must look different.
TEST(PicturesFiles, PressedKeyChangesOnlyInsideItsCollar) {
    const Bitmap panel = Panel();
    ASSERT_EQ(panel.problem, "");
    for (const auto& k : Keys) {
        const Bitmap key = ReadBitmap(KeyPath(k.id - 1800));
        ASSERT_EQ(key.problem, "");
        const pictures::RoundRect collar = pictures::CollarOf(k);
        int outsideDiffering = 0, insideDiffering = 0;
        for (int y = 0; y < k.height; ++y)
            for (int x = 0; x < k.width; ++x) {
                const bool differs = key.At(x, y) != panel.At(k.x + x, k.y + y);
                const bool inside = pictures::Distance(collar, {k.x + x + 0.5, k.y + y + 0.5}) < 0.5;
                (inside ? insideDiffering : outsideDiffering) += differs;
            }
        EXPECT_EQ(outsideDiffering, 0) << "key " << k.id;
        EXPECT_GT(insideDiffering, k.width * k.height / 4) << "key " << k.id;
    }
}

int Luminance(const Bitmap& b, int x, int y) {
    const uint8_t i = b.At(x, y);
    return (b.palette[i * 4 + 2] * 30 + b.palette[i * 4 + 1] * 59 + b.palette[i * 4] * 11) / 100;
}

TEST(PicturesFiles, DisplayWindowHasABlackOutlineAndStaysDarkInside) {
    const Bitmap panel = Panel();
    ASSERT_EQ(panel.problem, "");
    for (int x = 13; x < 298; ++x) {
        EXPECT_EQ(Luminance(panel, x, 13), 0) << x;
        EXPECT_EQ(Luminance(panel, x, 314), 0) << x;
    }
    for (int y = 13; y < 315; ++y) {
        EXPECT_EQ(Luminance(panel, 13, y), 0) << y;
        EXPECT_EQ(Luminance(panel, 297, y), 0) << y;
    }
    int brightest = 0;
    for (int y = 14; y < 314; ++y)
        for (int x = 14; x < 297; ++x) brightest = std::max(brightest, Luminance(panel, x, y));
    EXPECT_LT(brightest, 70);  // white text stays legible everywhere
    // Just outside the outline the panel is light marble again.
    EXPECT_GT(Luminance(panel, 150, 317), 120);
    EXPECT_GT(Luminance(panel, 5, 150), 120);
}

TEST(PicturesFiles, IconHoldsA32And16PixelImageIn16Colours) {
    const std::vector<uint8_t> ico = pictures_test::ReadBytes(Res + "/quorvex.ico");
    ASSERT_GE(ico.size(), 6u + 32);
    using pictures_test::U16;
    using pictures_test::U32;
    EXPECT_EQ(U16(ico, 0), 0u);
    EXPECT_EQ(U16(ico, 2), 1u);
    ASSERT_EQ(U16(ico, 4), 2u);
    const uint32_t sizes[2] = {32, 16};
    for (int i = 0; i < 2; ++i) {
        const size_t entry = 6 + 16 * i;
        EXPECT_EQ(ico[entry], sizes[i]);
        EXPECT_EQ(ico[entry + 1], sizes[i]);
        EXPECT_EQ(ico[entry + 2], 16);
        EXPECT_EQ(U16(ico, entry + 6), 4u);
        const uint32_t bytes = U32(ico, entry + 8), at = U32(ico, entry + 12);
        // header, 16 colours, 4-bit rows padded to 4 bytes, 1-bit mask rows padded to 4 bytes
        const uint32_t expected = 40 + 64 + sizes[i] * ((sizes[i] / 2 + 3) & ~3u) + sizes[i] * 4;
        EXPECT_EQ(bytes, expected);
        ASSERT_LE(at + bytes, ico.size());
        EXPECT_EQ(U32(ico, at), 40u);
        EXPECT_EQ(U32(ico, at + 4), sizes[i]);
        EXPECT_EQ(U32(ico, at + 8), 2 * sizes[i]);
        EXPECT_EQ(U16(ico, at + 14), 4u);
    }
    EXPECT_EQ(U32(ico, 6 + 16 + 12) + U32(ico, 6 + 16 + 8), ico.size());
}

TEST(PicturesFiles, ResourceScriptNamesThePanelAndAllFiftyKeyPictures) {
    const std::vector<uint8_t> bytes = pictures_test::ReadBytes(Res + "/pictures.rc");
    const std::string rc(bytes.begin(), bytes.end());
    EXPECT_NE(rc.find("\n174 BITMAP \"panel.bmp\"\n"), std::string::npos);
    for (int id = 175; id <= 224; ++id) {
        char line[64];
        std::snprintf(line, sizeof line, "\n%d BITMAP \"keys/key_%d.bmp\"\n", id, id);
        EXPECT_NE(rc.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(rc.find("\\"), std::string::npos);  // forward slashes only
}

}  // namespace

// The committed pictures in res/ at every scaling: formats, sizes, the one shared palette, and keys that sit
// seamlessly on the panel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "display/display_geometry.h"
#include "support/dpi_scale.h"
#include "tests/tools/pictures_bmp_reader.h"
#include "tools/pictures/key_art.h"
#include "tools/pictures/key_layout.h"
#include "tools/pictures/palette.h"

namespace {

using pictures::Keys;
using pictures_test::Bitmap;
using pictures_test::ReadBitmap;

const std::string Res = QUORVEX_RES_DIR;

// Set 0 in res/ itself, the others in x<percent>/, every file named by its resource id.
std::string SetFolder(int set) { return set == 0 ? "" : "/x" + std::to_string(dpi::ArtPercents[set]); }

std::string KeyPath(int set, int bitmapId100) {
    char name[32];
    std::snprintf(name, sizeof name, "/keys/key_%03d.bmp", dpi::ArtBitmapId(bitmapId100, set));
    return Res + SetFolder(set) + name;
}

// Each set's panel read once per run.
const Bitmap& Panel(int set) {
    static std::vector<Bitmap> panels;
    if (panels.empty())
        for (int k = 0; k < dpi::ArtSetCount; ++k) panels.push_back(ReadBitmap(Res + SetFolder(k) + "/panel.bmp"));
    return panels[set];
}

dpi::Box KeyBoxAt(const pictures::KeySpec& k, int set) { return dpi::ScaledBox(pictures::KeyBox(k), dpi::ArtSetDpi(set)); }

TEST(PicturesFiles, EachSetsPanelIsAn8BitPictureOfTheScaledWindowSize) {
    const struct {
        int percent, width, height;
    } sizes[] = {{100, 630, 384}, {125, 788, 480}, {150, 945, 576}, {175, 1103, 672}, {200, 1260, 768}};
    ASSERT_EQ(std::size(sizes), static_cast<size_t>(dpi::ArtSetCount));
    for (int set = 0; set < dpi::ArtSetCount; ++set) {
        const Bitmap& panel = Panel(set);
        ASSERT_EQ(panel.problem, "") << sizes[set].percent << " %";
        EXPECT_EQ(dpi::ArtPercents[set], sizes[set].percent);
        EXPECT_EQ(panel.width, sizes[set].width) << sizes[set].percent << " %";
        EXPECT_EQ(panel.height, sizes[set].height) << sizes[set].percent << " %";
    }
}

TEST(PicturesFiles, EveryKeyHasBothPicturesAtItsScaledBoxInEverySet) {
    for (int set = 0; set < dpi::ArtSetCount; ++set)
        for (const auto& k : Keys) {
            const dpi::Box b = KeyBoxAt(k, set);
            for (const int id : {k.id - 1825, k.id - 1800}) {
                const Bitmap key = ReadBitmap(KeyPath(set, id));
                ASSERT_EQ(key.problem, "") << "bitmap " << dpi::ArtBitmapId(id, set);
                EXPECT_EQ(key.width, b.right - b.left) << "bitmap " << dpi::ArtBitmapId(id, set);
                EXPECT_EQ(key.height, b.bottom - b.top) << "bitmap " << dpi::ArtBitmapId(id, set);
            }
        }
}

TEST(PicturesFiles, EverySetsPicturesShareThePanelPaletteWhichIsTheGeneratorsPalette) {
    const auto& shared = pictures::SharedPalette();
    for (int set = 0; set < dpi::ArtSetCount; ++set) {
        const Bitmap& panel = Panel(set);
        ASSERT_EQ(panel.problem, "") << set;
        for (int i = 0; i < 256; ++i) {
            EXPECT_EQ(panel.palette[i * 4 + 2], shared[i].r) << set << ": " << i;
            EXPECT_EQ(panel.palette[i * 4 + 1], shared[i].g) << set << ": " << i;
            EXPECT_EQ(panel.palette[i * 4 + 0], shared[i].b) << set << ": " << i;
            EXPECT_EQ(panel.palette[i * 4 + 3], 0) << set << ": " << i;
        }
        for (int id = 175; id <= 224; ++id)
            EXPECT_EQ(ReadBitmap(KeyPath(set, id)).palette, panel.palette) << "bitmap " << dpi::ArtBitmapId(id, set);
    }
}

TEST(PicturesFiles, PaletteHoldsBlackAndWhiteForTheDisplayText) {
    const auto& p = pictures::SharedPalette();
    EXPECT_EQ(p[0].r + p[0].g + p[0].b, 0);
    EXPECT_EQ(p[255].r + p[255].g + p[255].b, 3 * 255);
}

TEST(PicturesFiles, NormalKeyIsExactlyThePanelUnderItsScaledBoxInEverySet) {
    for (int set = 0; set < dpi::ArtSetCount; ++set) {
        const Bitmap& panel = Panel(set);
        ASSERT_EQ(panel.problem, "") << set;
        for (const auto& k : Keys) {
            const Bitmap key = ReadBitmap(KeyPath(set, k.id - 1825));
            ASSERT_EQ(key.problem, "");
            const dpi::Box b = KeyBoxAt(k, set);
            int differing = 0;
            for (int y = 0; y < key.height; ++y)
                for (int x = 0; x < key.width; ++x) differing += key.At(x, y) != panel.At(b.left + x, b.top + y);
            EXPECT_EQ(differing, 0) << "bitmap " << dpi::ArtBitmapId(k.id - 1825, set);
        }
    }
}

// Outside the collar both states show the panel; inside, the pressed cap must look different.
TEST(PicturesFiles, PressedKeyChangesOnlyInsideItsCollarInEverySet) {
    for (int set = 0; set < dpi::ArtSetCount; ++set) {
        const Bitmap& panel = Panel(set);
        ASSERT_EQ(panel.problem, "") << set;
        const double scale = dpi::ArtSetDpi(set) / 96.0;
        for (const auto& k : Keys) {
            const Bitmap key = ReadBitmap(KeyPath(set, k.id - 1800));
            ASSERT_EQ(key.problem, "");
            const dpi::Box b = KeyBoxAt(k, set);
            const pictures::RoundRect collar = pictures::CollarOf(k);
            int outsideDiffering = 0, insideDiffering = 0;
            for (int y = 0; y < key.height; ++y)
                for (int x = 0; x < key.width; ++x) {
                    const bool differs = key.At(x, y) != panel.At(b.left + x, b.top + y);
                    const pictures::Point centre = {(b.left + x + 0.5) / scale, (b.top + y + 0.5) / scale};
                    const bool inside = pictures::Distance(collar, centre) * scale < 0.5;
                    (inside ? insideDiffering : outsideDiffering) += differs;
                }
            const int bitmap = dpi::ArtBitmapId(k.id - 1800, set);
            EXPECT_EQ(outsideDiffering, 0) << "bitmap " << bitmap;
            EXPECT_GT(insideDiffering, key.width * key.height / 4) << "bitmap " << bitmap;
        }
    }
}

int Luminance(const Bitmap& b, int x, int y) {
    const uint8_t i = b.At(x, y);
    return (b.palette[i * 4 + 2] * 30 + b.palette[i * 4 + 1] * 59 + b.palette[i * 4] * 11) / 100;
}

// The outline is its 96-DPI pixel ring scaled by its edges, and every display line the window draws
// at that scaling falls on the dark area.
TEST(PicturesFiles, DisplayWindowHasABlackOutlineAndStaysDarkUnderTheTextInEverySet) {
    constexpr int LineHeight96 = 15;
    for (int set = 0; set < dpi::ArtSetCount; ++set) {
        const int d = dpi::ArtSetDpi(set);
        const Bitmap& panel = Panel(set);
        ASSERT_EQ(panel.problem, "") << set;
        const dpi::Box outer = dpi::ScaledBox({13, 13, 298, 315}, d), inner = dpi::ScaledBox({14, 14, 297, 314}, d);
        int outlineLit = 0, brightest = 0;
        for (int y = outer.top; y < outer.bottom; ++y)
            for (int x = outer.left; x < outer.right; ++x) {
                const bool inside = x >= inner.left && x < inner.right && y >= inner.top && y < inner.bottom;
                if (inside)
                    brightest = std::max(brightest, Luminance(panel, x, y));
                else
                    outlineLit += Luminance(panel, x, y) != 0;
            }
        EXPECT_EQ(outlineLit, 0) << dpi::ArtPercents[set] << " %";
        EXPECT_LT(brightest, 70) << dpi::ArtPercents[set] << " %";  // white text stays legible everywhere
        const int top = dpi::Scaled(display_geometry::Top, d);
        const dpi::Box text = {dpi::Scaled(display_geometry::Left, d), top, dpi::Scaled(display_geometry::Right, d),
                               top + display_geometry::Lines * dpi::ScaledDown(LineHeight96, d)};
        EXPECT_GE(text.left, outer.left) << dpi::ArtPercents[set] << " %";
        EXPECT_GE(text.top, outer.top) << dpi::ArtPercents[set] << " %";
        EXPECT_LE(text.right, outer.right) << dpi::ArtPercents[set] << " %";
        EXPECT_LE(text.bottom, outer.bottom) << dpi::ArtPercents[set] << " %";
        // Just outside the outline the panel is light marble again.
        EXPECT_GT(Luminance(panel, dpi::Scaled(150, d), dpi::Scaled(317, d)), 120) << dpi::ArtPercents[set] << " %";
        EXPECT_GT(Luminance(panel, dpi::Scaled(5, d), dpi::Scaled(150, d)), 120) << dpi::ArtPercents[set] << " %";
    }
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

TEST(PicturesFiles, ResourceScriptNamesThePanelAndAllFiftyKeyPicturesOfEverySet) {
    const std::vector<uint8_t> bytes = pictures_test::ReadBytes(Res + "/pictures.rc");
    const std::string rc(bytes.begin(), bytes.end());
    const char* const panels[] = {"\n174 BITMAP \"panel.bmp\"\n", "\n1174 BITMAP \"x125/panel.bmp\"\n",
                                  "\n2174 BITMAP \"x150/panel.bmp\"\n", "\n3174 BITMAP \"x175/panel.bmp\"\n",
                                  "\n4174 BITMAP \"x200/panel.bmp\"\n"};
    for (const char* line : panels) EXPECT_NE(rc.find(line), std::string::npos) << line;
    for (int set = 0; set < dpi::ArtSetCount; ++set)
        for (int id = 175; id <= 224; ++id) {
            const int bitmap = dpi::ArtBitmapId(id, set);
            char line[64];
            std::snprintf(line, sizeof line, "\n%d BITMAP \"%skeys/key_%d.bmp\"\n", bitmap,
                          set == 0 ? "" : (SetFolder(set).substr(1) + "/").c_str(), bitmap);
            EXPECT_NE(rc.find(line), std::string::npos) << line;
        }
    EXPECT_EQ(std::count(rc.begin(), rc.end(), '\n'), 1 + dpi::ArtSetCount * 51);  // the header and one line a bitmap
    EXPECT_EQ(rc.find("\\"), std::string::npos);  // forward slashes only
}

}  // namespace

// Layout and drawing rules of the generator: nothing printed on keys or the display, glyphs for every legend.
#include <gtest/gtest.h>

#include <cmath>
#include <string_view>

#include "support/dpi_scale.h"
#include "tools/pictures/canvas.h"
#include "tools/pictures/face_glyphs.h"
#include "tools/pictures/key_art.h"
#include "tools/pictures/key_layout.h"
#include "tools/pictures/label_font.h"
#include "tools/pictures/noise.h"
#include "tools/pictures/palette.h"
#include "tools/pictures/panel_art.h"

namespace {

using namespace pictures;

TEST(PicturesLayout, KeyTableIsInIdOrderWithBitmapIdsFrom175To224) {
    for (int i = 0; i < KeyCount; ++i) {
        EXPECT_EQ(Keys[i].id, KeyTable::FirstId + i);
        EXPECT_EQ(Keys[i].id - NormalBitmapOffset, 175 + i);
        EXPECT_EQ(Keys[i].id - PressedBitmapOffset, 200 + i);
    }
}

// The collar lies in the key's rectangle; at a scaling whose box edge rounds inwards the key loses
// at most the outer half of a soft edge pixel. No pixel is covered by two collars (the cursor
// diamond's rectangles overlap at their corners) or by a collar and the display window.
TEST(PicturesLayout, EveryCollarLiesInsideItsBoxAndOffTheOthersAtEveryScaling) {
    for (const KeySpec& k : Keys) {
        EXPECT_GE(k.x, 0);
        EXPECT_GE(k.y, 0);
        EXPECT_LE(k.x + k.width, panel::Width);
        EXPECT_LE(k.y + k.height, panel::Height);
        const RoundRect c = CollarOf(k);
        EXPECT_GE(c.left, k.x) << k.id;
        EXPECT_GE(c.top, k.y) << k.id;
        EXPECT_LE(c.right, k.x + k.width) << k.id;
        EXPECT_LE(c.bottom, k.y + k.height) << k.id;
    }
    for (int set = 0; set < dpi::ArtSetCount; ++set) {
        const Canvas at(1, 1, dpi::ArtSetDpi(set));
        const auto cover = [&](const KeySpec& k, int x, int y) { return at.Cover(Distance(CollarOf(k), at.Centre(x, y))); };
        const auto covered = [&](const KeySpec& k, int x, int y) { return cover(k, x, y) > 0; };
        const Box display = dpi::ScaledBox(DisplayOutline, at.Dpi());
        for (const KeySpec& a : Keys) {
            const Box box = dpi::ScaledBox(KeyBox(a), at.Dpi());
            for (int y = box.top - 2; y < box.bottom + 2; ++y)
                for (int x = box.left - 2; x < box.right + 2; ++x) {
                    if (!covered(a, x, y)) continue;
                    const bool inBox = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
                    EXPECT_TRUE(inBox || cover(a, x, y) <= 0.5) << a.id << " at " << x << "," << y << ", set " << set;
                    EXPECT_FALSE(Overlaps({x, y, x + 1, y + 1}, display)) << a.id << ", set " << set;
                    for (const KeySpec& b : Keys)
                        EXPECT_FALSE(a.id < b.id && covered(b, x, y))
                            << a.id << " and " << b.id << " at " << x << "," << y << ", set " << set;
                }
        }
    }
}

TEST(PicturesLayout, PrintedThingsStayOffKeysTheDisplayAndEachOtherAndOnThePanel) {
    const std::vector<Box> printed = PrintedBoxes();
    ASSERT_FALSE(printed.empty());
    const Box displayWithMargin = {DisplayOutline.left - 3, DisplayOutline.top - 3, DisplayOutline.right + 3,
                                   DisplayOutline.bottom + 3};
    for (size_t i = 0; i < printed.size(); ++i) {
        const Box& p = printed[i];
        EXPECT_GE(p.left, 0) << i;
        EXPECT_GE(p.top, 0) << i;
        EXPECT_LE(p.right, panel::Width) << i;
        EXPECT_LE(p.bottom, panel::Height) << i;
        EXPECT_FALSE(Overlaps(p, displayWithMargin)) << i;
        for (const KeySpec& k : Keys) EXPECT_FALSE(Overlaps(p, KeyBox(k))) << i << " on key " << k.id;
        for (size_t j = i + 1; j < printed.size(); ++j) EXPECT_FALSE(Overlaps(p, printed[j])) << i << " and " << j;
    }
}

TEST(PicturesLayout, EveryLegendHasGlyphsAndEveryFaceAGlyph) {
    for (const KeySpec& k : Keys) {
        EXPECT_TRUE(LabelCovers(k.label)) << k.label;
        EXPECT_TRUE(HasFaceGlyph(k.face)) << k.face;
    }
    EXPECT_TRUE(LabelCovers("ADJUST"));
    EXPECT_FALSE(LabelCovers("ADJUST?"));
    EXPECT_EQ(LabelWidth(""), 0);
    EXPECT_EQ(LabelWidth("I"), 3);
    EXPECT_EQ(LabelWidth("NO"), 5 + 1 + 5);
    EXPECT_EQ(LabelWidth("N?O"), 5 + 1 + 5);  // characters without a glyph take no room
}

TEST(PicturesLayout, OwnSineMatchesTheLibraryClosely) {
    for (double x = -40; x <= 40; x += 0.0137) {
        EXPECT_NEAR(Sine(x), std::sin(x), 1e-7) << x;
        EXPECT_NEAR(Cosine(x), std::cos(x), 1e-7) << x;
    }
}

TEST(PicturesLayout, NoiseIsSmoothAndBoundedAndDependsOnTheSeed) {
    const GradientNoise a(1), b(2);
    int different = 0;
    for (double y = -3; y < 3; y += 0.37)
        for (double x = -3; x < 3; x += 0.29) {
            const double v = a.At(x, y);
            EXPECT_LE(std::fabs(v), 1.0);
            EXPECT_LE(std::fabs(a.At(x + 0.01, y) - v), 0.05);  // no jumps between neighbouring points
            different += v != b.At(x, y);
        }
    EXPECT_GT(different, 100);
    EXPECT_EQ(a.At(3, 4), 0.0);  // gradient noise vanishes on lattice points
}

TEST(PicturesLayout, QuantizerFindsExactEntriesAndPrefersTheLowestIndexOnTies) {
    Quantizer q;
    const Palette& p = SharedPalette();
    for (int i = 0; i < PaletteSize; ++i) {
        const uint8_t found = q.Nearest(p[i].r, p[i].g, p[i].b);
        EXPECT_EQ(p[found].r, p[i].r);
        EXPECT_EQ(p[found].g, p[i].g);
        EXPECT_EQ(p[found].b, p[i].b);
        EXPECT_LE(found, i);
    }
    EXPECT_EQ(q.Nearest(0, 0, 0), 0);
    EXPECT_EQ(q.Nearest(255, 255, 255), 255);
}

}  // namespace

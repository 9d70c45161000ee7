// Display scaling: rounding of edges, the choice of picture set and its ids.
#include "support/dpi_scale.h"

#include <gtest/gtest.h>

namespace {
TEST(DpiScale, EdgesRoundHalfUpAndTouchingBoxesStayTouching) {
    struct Row {
        int32_t v, dpi, scaled, down;
    };
    const Row rows[] = {
        {630, 96, 630, 630}, {630, 120, 788, 787}, {630, 144, 945, 945}, {630, 192, 1260, 1260},
        {15, 120, 19, 18},   {15, 168, 26, 26},    {13, 144, 20, 19},    {0, 192, 0, 0},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(dpi::Scaled(r.v, r.dpi), r.scaled) << r.v << " at " << r.dpi;
        EXPECT_EQ(dpi::ScaledDown(r.v, r.dpi), r.down) << r.v << " at " << r.dpi;
    }
    for (int32_t d = 96; d <= 480; d += 8) {
        const dpi::Box a = dpi::ScaledBox({13, 13, 65, 65}, d), b = dpi::ScaledBox({65, 13, 117, 65}, d);
        EXPECT_EQ(a.right, b.left) << d;
    }
}

TEST(DpiScale, ThePictureSetIsTheOneAtOrJustAboveTheDpi) {
    struct Row {
        int32_t dpi, set;
    };
    const Row rows[] = {{96, 0}, {97, 1}, {120, 1}, {132, 2}, {144, 2}, {168, 3}, {192, 4}, {288, 4}};
    for (const Row& r : rows) EXPECT_EQ(dpi::ArtSetFor(r.dpi), r.set) << r.dpi;
    EXPECT_EQ(dpi::ArtBitmapId(174, 0), 174);
    EXPECT_EQ(dpi::ArtBitmapId(175, 4), 4175);
    EXPECT_EQ(dpi::Usable(0), 96);
    EXPECT_EQ(dpi::Usable(144), 144);
    EXPECT_EQ(dpi::Usable(100000), 480);
}
}  // namespace

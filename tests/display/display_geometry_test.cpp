// The window's line geometry: which line a client point falls in, at the edges of the lines.
#include "display/display_geometry.h"

#include <gtest/gtest.h>

namespace {
namespace g = display_geometry;

TEST(DisplayGeometry, APointFallsInTheLineWhoseTopAndLeftEdgesHoldIt) {
    constexpr int32_t h = 15;
    struct Row {
        int32_t x, y, h, line;
    };
    const Row rows[] = {
        {g::Left, g::Top, h, 0},                 {g::Right - 1, g::Top + h - 1, h, 0},
        {g::Left, g::Top + h, h, 1},             {g::Left - 1, g::Top, h, -1},
        {g::Right, g::Top, h, -1},               {g::Left, g::Top - 1, h, -1},
        {g::Left, g::Top + 19 * h, h, 19},       {g::Left, g::Top + 20 * h, h, -1},
        {g::Left, g::Top, 0, -1},  // no font: no line anywhere
    };
    for (const Row& r : rows) EXPECT_EQ(g::LineAt(r.x, r.y, r.h), r.line) << r.x << "," << r.y << " h " << r.h;
}

TEST(DisplayGeometry, ARunOfLinesIsTheRectangleFromTheFirstTopToTheLastBottom) {
    const LineRect run = g::LinesRectFor(3, 5, 15);
    EXPECT_EQ(run.top, g::LineRectFor(3, 15).top);
    EXPECT_EQ(run.bottom, g::LineRectFor(5, 15).bottom);
    EXPECT_EQ(run.left, g::Left);
    EXPECT_EQ(run.right, g::Right);
}
}  // namespace

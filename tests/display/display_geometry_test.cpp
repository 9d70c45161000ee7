// The window's line geometry: which line a client point falls in, at the edges of the lines and
// at every scaling.
#include "display/display_geometry.h"

#include <gtest/gtest.h>

namespace {
namespace g = display_geometry;

TEST(DisplayGeometry, APointFallsInTheLineWhoseTopAndLeftEdgesHoldIt) {
    struct Row {
        int32_t dpi, h, x, y, line;
    };
    // At 144 DPI: left 21, top 20, right 444, lines 22 high.
    const Row rows[] = {
        {96, 15, g::Left, g::Top, 0},       {96, 15, g::Right - 1, g::Top + 14, 0}, {96, 15, g::Left, g::Top + 15, 1},
        {96, 15, g::Left - 1, g::Top, -1},  {96, 15, g::Right, g::Top, -1},         {96, 15, g::Left, g::Top - 1, -1},
        {96, 15, g::Left, g::Top + 285, 19}, {96, 15, g::Left, g::Top + 300, -1},
        {96, 0, g::Left, g::Top, -1},  // no font: no line anywhere
        {144, 22, 21, 20, 0},               {144, 22, 20, 20, -1},                  {144, 22, 443, 41, 0},
        {144, 22, 444, 41, -1},             {144, 22, 21, 42, 1},                   {144, 22, 21, 459, 19},
        {144, 22, 21, 460, -1},
    };
    for (const Row& r : rows)
        EXPECT_EQ(g::LineAt(r.x, r.y, g::LayoutAt(r.dpi, r.h)), r.line) << r.x << "," << r.y << " at " << r.dpi;
}

TEST(DisplayGeometry, ARunOfLinesIsTheRectangleFromTheFirstTopToTheLastBottom) {
    const g::LineLayout l = g::LayoutAt(96, 15);
    const LineRect run = g::LinesRectFor(3, 5, l);
    EXPECT_EQ(run.top, g::LineRectFor(3, l).top);
    EXPECT_EQ(run.bottom, g::LineRectFor(5, l).bottom);
    EXPECT_EQ(run.left, g::Left);
    EXPECT_EQ(run.right, g::Right);
}

// The display window's black inside ends at 313 at 96 DPI; the font must leave 40 columns of
// at least 7 pixels at 96 DPI and never spill past the window at any scaling.
TEST(DisplayGeometry, TwentyLinesAndFortyColumnsStayInsideTheScaledDisplayWindow) {
    EXPECT_EQ(g::CellHeightAt(96), 15);
    EXPECT_EQ(g::TextWidthAt(96), 280);
    for (int32_t d = 96; d <= 480; ++d) {
        const g::LineLayout l = g::LayoutAt(d, g::CellHeightAt(d));
        EXPECT_LE(g::LineRectFor(19, l).bottom, dpi::Scaled(313, d)) << d;
        EXPECT_GE(g::TextWidthAt(d) / 40, dpi::ScaledDown(7, d)) << d;
        EXPECT_LE(l.right, dpi::Scaled(296, d)) << d;
    }
}
}  // namespace

// Where the display lines sit on the panel, and which line a client point falls in.
#pragma once
#include <cstdint>

#include "display/display_owner.h"
#include "protocol/panel.h"
#include "protocol/screen.h"

namespace display_geometry {
constexpr int32_t Lines = screen::Lines;
constexpr int32_t Left = 14;
constexpr int32_t Top = 13;
constexpr int32_t Right = 296;
constexpr int32_t TextIndent = 2;
constexpr int32_t PanelWidth = panel::Width;
constexpr int32_t PanelHeight = panel::Height;

// Rectangle of line i for a line height h: rectangles touch without overlapping.
constexpr LineRect LineRectFor(int32_t i, int32_t h) { return {Left, Top + i * h, Right, Top + (i + 1) * h}; }

// Left and top edges belong to a rectangle, right and bottom ones do not.
constexpr bool Contains(const LineRect& r, int32_t x, int32_t y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}
}  // namespace display_geometry

// Where the display lines sit on the panel, and which line a client point falls in: the
// window's mapping of the display's lines to pixels (the display itself knows only lines).
#pragma once
#include <cstdint>

#include "protocol/panel.h"
#include "protocol/screen.h"

// Client pixels; left and top edges inside, right and bottom outside.
struct LineRect {
    int32_t left, top, right, bottom;
};

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

// Lines first..last as one rectangle.
constexpr LineRect LinesRectFor(int32_t first, int32_t last, int32_t h) {
    return {Left, LineRectFor(first, h).top, Right, LineRectFor(last, h).bottom};
}

// Left and top edges belong to a rectangle, right and bottom ones do not.
constexpr bool Contains(const LineRect& r, int32_t x, int32_t y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// The line that a client point falls in, or -1 (always for a height of 0: no font, no lines).
constexpr int32_t LineAt(int32_t x, int32_t y, int32_t h) {
    for (int32_t i = 0; i < Lines; ++i)
        if (Contains(LineRectFor(i, h), x, y)) return i;
    return -1;
}
}  // namespace display_geometry

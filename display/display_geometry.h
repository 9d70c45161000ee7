// Where the display lines sit on the panel, and which line a client point falls in: the
// window's mapping of the display's lines to pixels (the display itself knows only lines), at
// any display scaling.
#pragma once
#include <cstdint>

#include "support/dpi_scale.h"
#include "protocol/panel.h"
#include "protocol/screen.h"

// Client pixels; left and top edges inside, right and bottom outside.
struct LineRect {
    int32_t left, top, right, bottom;
};

namespace display_geometry {
constexpr int32_t Lines = screen::Lines;
// At 96 DPI.
constexpr int32_t Left = 14;
constexpr int32_t Top = 13;
constexpr int32_t Right = 296;
constexpr int32_t TextIndent = 2;
constexpr int32_t CellHeight = 15;

// The lines at one scaling: edges scaled, the line height that of the font made for it.
struct LineLayout {
    int32_t left, top, right, indent, height;
};
constexpr LineLayout LayoutAt(int32_t dpi, int32_t lineHeight) {
    return {dpi::Scaled(Left, dpi), dpi::Scaled(Top, dpi), dpi::Scaled(Right, dpi), dpi::Scaled(TextIndent, dpi),
            lineHeight};
}
// The font's cell height and the room from the text origin to the lines' right edge: rounded
// down, so that 20 lines and 40 columns stay inside the display window.
constexpr int32_t CellHeightAt(int32_t dpi) { return dpi::ScaledDown(CellHeight, dpi); }
constexpr int32_t TextWidthAt(int32_t dpi) {
    return dpi::Scaled(Right, dpi) - dpi::Scaled(Left, dpi) - dpi::Scaled(TextIndent, dpi);
}
constexpr int32_t PanelWidthAt(int32_t dpi) { return dpi::Scaled(panel::Width, dpi); }
constexpr int32_t PanelHeightAt(int32_t dpi) { return dpi::Scaled(panel::Height, dpi); }

// Rectangle of line i: rectangles touch without overlapping.
constexpr LineRect LineRectFor(int32_t i, const LineLayout& l) {
    return {l.left, l.top + i * l.height, l.right, l.top + (i + 1) * l.height};
}

// Lines first..last as one rectangle.
constexpr LineRect LinesRectFor(int32_t first, int32_t last, const LineLayout& l) {
    return {l.left, LineRectFor(first, l).top, l.right, LineRectFor(last, l).bottom};
}

// Left and top edges belong to a rectangle, right and bottom ones do not.
constexpr bool Contains(const LineRect& r, int32_t x, int32_t y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// The line that a client point falls in, or -1 (always for a height of 0: no font, no lines).
constexpr int32_t LineAt(int32_t x, int32_t y, const LineLayout& l) {
    for (int32_t i = 0; i < Lines; ++i)
        if (Contains(LineRectFor(i, l), x, y)) return i;
    return -1;
}
}  // namespace display_geometry

// The display font: "Courier New" (text 62020) at a 15-pixel cell, made to fit 40 columns.
#pragma once
#include <windows.h>

#include "protocol/screen.h"

namespace display_font {
constexpr int CellHeight = 15;
// From the text origin (left + 2) to the right edge of the line rectangles.
constexpr int TextWidth = 280;
constexpr int Columns = screen::Columns;

// Null when no font can be made; the display then shows the bare panel.
HFONT Create(const char* faceName);
// The height stored in the font's own LOGFONT; 0 without a font.
int LineHeight(HFONT font);
// Advance of one cell in pixels, as the font really draws.
int CellWidth(HFONT font);
}  // namespace display_font

// The display font: "Courier New" (text 62020) at a 15-pixel cell at 96 DPI, scaled with the
// panel, made to fit 40 columns.
#pragma once
#include <windows.h>

#include <cstdint>

#include "protocol/screen.h"

namespace display_font {
constexpr int Columns = screen::Columns;

// Null when no font can be made; the display then shows the bare panel.
HFONT Create(const char* faceName, int32_t dpi);
// The height stored in the font's own LOGFONT; 0 without a font.
int LineHeight(HFONT font);
// Advance of one cell in pixels, as the font really draws.
int CellWidth(HFONT font);
}  // namespace display_font

// The small printed-legend font: proportional 7-pixel capitals, lower case with 2-pixel descenders,
// digits and signs, drawn as solid ink, one panel unit per dot.
#pragma once
#include <string_view>

#include "tools/pictures/canvas.h"

namespace pictures {

constexpr int LabelHeight = 7;   // capitals and digits, from the top
constexpr int LabelDescent = 2;  // below them: g, j, p, q, y, the comma and semicolon

// Width in pixels of a text, one blank column between glyphs; 0 for an empty text.
int LabelWidth(std::string_view text);
// Draws a text with its top-left corner at (x, y); characters without a glyph are left out.
void DrawLabel(Canvas& canvas, int x, int y, std::string_view text, const Colour& ink);
// Whether every character of the text has a glyph.
bool LabelCovers(std::string_view text);

}  // namespace pictures

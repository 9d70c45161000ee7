// Anti-aliased stroke glyphs: the legends on the key caps (digits, signs, arrows) and the name plate letters.
#pragma once
#include <string_view>

#include "tools/pictures/canvas.h"

namespace pictures {

struct GlyphStyle {
    double scale;        // panel units per glyph unit
    double strokeWidth;  // panel units
};

// Whether a glyph of that name exists ("0".."9", ".", "-", ":", "cursor-up", ..., "Q", ...).
bool HasFaceGlyph(std::string_view name);
// Width of a glyph's box in panel units at the style's scale.
double FaceGlyphWidth(std::string_view name, const GlyphStyle& style);
// Draws a glyph with the centre of its box at (cx, cy); unknown names draw nothing.
void DrawFaceGlyph(Canvas& canvas, std::string_view name, double cx, double cy, const GlyphStyle& style,
                   const Colour& ink);

}  // namespace pictures

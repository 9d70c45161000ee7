// Display font creation. Where the face that the font mapper supplies is wider than the
// display window allows for 40 columns (Wine maps it to an 8-pixel face), the font is made
// again with an explicit cell width so that every column stays inside the window.
#include "display/display_font_win.h"

#include "display/display_geometry.h"

namespace display_font {
namespace {
HFONT Make(const char* faceName, int height, int width) {
    return CreateFontA(height, width, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                       CLIP_TT_ALWAYS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, faceName ? faceName : "");
}
}  // namespace

HFONT Create(const char* faceName, int32_t dpi) {
    const int height = display_geometry::CellHeightAt(dpi);
    const int room = display_geometry::TextWidthAt(dpi);
    HFONT font = Make(faceName, height, 0);
    if (font && CellWidth(font) * Columns > room) {
        HFONT narrow = Make(faceName, height, room / Columns);
        if (narrow && CellWidth(narrow) * Columns <= room) {
            DeleteObject(font);
            font = narrow;
        } else if (narrow) {
            DeleteObject(narrow);
        }
    }
    return font;
}

int LineHeight(HFONT font) {
    LOGFONTA lf = {};
    if (!font || GetObjectA(font, sizeof(lf), &lf) != sizeof(lf)) return 0;
    return lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
}

int CellWidth(HFONT font) {
    if (!font) return 0;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, "MMMMMMMMMM", 10, &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    return (size.cx + 9) / 10;
}
}  // namespace display_font

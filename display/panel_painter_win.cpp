// Panel painting: picture first, then one TextOut per line in white on a transparent background.
#include "display/panel_painter_win.h"

#include <cstring>

#include "display/display_geometry.h"
#include "display/repaint_gate.h"
#include "display/text_display.h"
#include "support/dib_win.h"

namespace panel_painter {

namespace {
constexpr int kLineCount = screen::Lines;

// The panel picture from `picture` (a copy already drawn) when there is one, else drawn to the
// size. Only `area` of the panel is drawn: the picture's part and the lines that cross it.
void ComposeOver(HDC dc, DIB* panel, SIZE size, HDC picture, HFONT font, const char (*lines)[41],
                 const display_geometry::LineLayout& layout, const RECT& area) {
    HPALETTE palette = panel ? panel->GetPalette() : nullptr;
    HPALETTE oldPalette = palette ? SelectPalette(dc, palette, TRUE) : nullptr;
    if (picture)
        BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, picture, area.left, area.top,
               SRCCOPY);
    else if (panel)
        panel->DrawFitted(dc, size.cx, size.cy);
    if (font && lines) {
        HGDIOBJ oldFont = SelectObject(dc, font);
        UINT oldAlign = SetTextAlign(dc, TA_LEFT | TA_TOP);
        COLORREF oldText = SetTextColor(dc, RGB(255, 255, 255));
        COLORREF oldBack = SetBkColor(dc, RGB(0, 0, 0));
        int oldMode = SetBkMode(dc, TRANSPARENT);
        for (int i = 0; i < kLineCount; ++i) {
            const LineRect r = display_geometry::LineRectFor(i, layout);
            if (r.top >= area.bottom || r.bottom <= area.top) continue;
            TextOutA(dc, r.left + layout.indent, r.top, lines[i],
                     static_cast<int>(strnlen(lines[i], 40)));
        }
        SetBkMode(dc, oldMode);
        SetTextAlign(dc, oldAlign);
        if (palette) RealizePalette(dc);
        SelectObject(dc, oldFont);
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBack);
    }
    if (oldPalette) SelectPalette(dc, oldPalette, TRUE);
}

// A memory DC holding a new screen-compatible bitmap of the panel's size, or null.
HDC NewMemory(HDC dc, SIZE size, HBITMAP* bitmap, HGDIOBJ* previous) {
    HDC memory = CreateCompatibleDC(dc);
    *bitmap = memory ? CreateCompatibleBitmap(dc, size.cx, size.cy) : nullptr;
    if (!*bitmap) {
        if (memory) DeleteDC(memory);
        return nullptr;
    }
    *previous = SelectObject(memory, *bitmap);
    return memory;
}

void DeleteMemory(HDC& memory, HBITMAP& bitmap, HGDIOBJ previous) {
    if (memory) {
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
    if (bitmap) DeleteObject(bitmap);
    memory = nullptr;
    bitmap = nullptr;
}
}  // namespace

void Compose(HDC dc, DIB* panel, SIZE size, HFONT font, const char (*lines)[41],
             const display_geometry::LineLayout& layout) {
    ComposeOver(dc, panel, size, nullptr, font, lines, layout, RECT{0, 0, size.cx, size.cy});
}

PaintSurface::~PaintSurface() {
    ForgetPicture();
    DeleteMemory(memory_, bitmap_, previous_);
}

HDC PaintSurface::Get(HDC dc, SIZE size) {
    if (size.cx != size_.cx || size.cy != size_.cy) {
        ForgetPicture();
        DeleteMemory(memory_, bitmap_, previous_);
        size_ = size;
    }
    if (!memory_) memory_ = NewMemory(dc, size, &bitmap_, &previous_);
    return memory_;
}

HDC PaintSurface::Picture(HDC dc, DIB* panel, SIZE size) {
    if (picture_ || !panel || size.cx != size_.cx || size.cy != size_.cy) return picture_;
    picture_ = NewMemory(dc, size, &pictureBitmap_, &picturePrevious_);
    if (picture_) ComposeOver(picture_, panel, size, nullptr, nullptr, nullptr, {}, RECT{0, 0, size.cx, size.cy});
    return picture_;
}

void PaintSurface::ForgetPicture() { DeleteMemory(picture_, pictureBitmap_, picturePrevious_); }

void Paint(HWND window, DIB* panel, HFONT font, int32_t dpi, const display_geometry::LineLayout& layout,
           const TextDisplay& display, RepaintGate& gate, PaintSurface& surface, const char (*shownInstead)[41]) {
    PAINTSTRUCT ps;
    HDC paintDc = BeginPaint(window, &ps);
    // Only after BeginPaint: a repaint asked from here on must bring another paint.
    gate.BeginServe();
    char lines[kLineCount][41];
    if (shownInstead)
        std::memcpy(lines, shownInstead, sizeof lines);
    else
        display.Snapshot(lines);
    const SIZE size = {display_geometry::PanelWidthAt(dpi), display_geometry::PanelHeightAt(dpi)};
    const RECT wholePanel = {0, 0, size.cx, size.cy};
    if (HDC memory = surface.Get(paintDc, size)) {
        // A line's change asks for its own rectangle only: a stream of them must not compose
        // and copy the whole panel each time. The clip keeps a line's glyphs inside the area.
        RECT area;
        if (!IntersectRect(&area, &ps.rcPaint, &wholePanel)) area = RECT{};
        IntersectClipRect(memory, area.left, area.top, area.right, area.bottom);
        ComposeOver(memory, panel, size, surface.Picture(paintDc, panel, size), font, lines, layout, area);
        SelectClipRgn(memory, nullptr);
        BitBlt(paintDc, area.left, area.top, area.right - area.left, area.bottom - area.top, memory, area.left,
               area.top, SRCCOPY);
    } else {
        Compose(paintDc, panel, size, font, lines, layout);
    }
    EndPaint(window, &ps);
}

}  // namespace panel_painter

// Panel painting: picture first, then one TextOut per line in white on a transparent background.
#include "display/panel_painter_win.h"

#include <cstring>

#include "display/display_geometry.h"
#include "display/repaint_gate.h"
#include "display/text_display.h"
#include "support/dib_win.h"

namespace panel_painter {

namespace {
constexpr RECT kWholePanel = {0, 0, display_geometry::PanelWidth, display_geometry::PanelHeight};

// The panel picture from `picture` (a copy already drawn) when there is one, else with its Draw.
// Only `area` of the panel is drawn: the picture's part and the lines that cross it.
void ComposeOver(HDC dc, DIB* panel, HDC picture, HFONT font, const char (*lines)[41], const LineRect* rects,
                 int lineCount, const RECT& area = kWholePanel) {
    HPALETTE palette = panel ? panel->GetPalette() : nullptr;
    HPALETTE oldPalette = palette ? SelectPalette(dc, palette, TRUE) : nullptr;
    if (picture)
        BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, picture, area.left, area.top,
               SRCCOPY);
    else if (panel)
        panel->Draw(dc, nullptr, nullptr, true, nullptr, false);
    if (font) {
        HGDIOBJ oldFont = SelectObject(dc, font);
        UINT oldAlign = SetTextAlign(dc, TA_LEFT | TA_TOP);
        COLORREF oldText = SetTextColor(dc, RGB(255, 255, 255));
        COLORREF oldBack = SetBkColor(dc, RGB(0, 0, 0));
        int oldMode = SetBkMode(dc, TRANSPARENT);
        for (int i = 0; i < lineCount; ++i) {
            const LineRect& r = rects[i];
            if (r.top >= area.bottom || r.bottom <= area.top) continue;
            TextOutA(dc, r.left + display_geometry::TextIndent, r.top, lines[i],
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
HDC NewMemory(HDC dc, HBITMAP* bitmap, HGDIOBJ* previous) {
    HDC memory = CreateCompatibleDC(dc);
    *bitmap = memory ? CreateCompatibleBitmap(dc, display_geometry::PanelWidth, display_geometry::PanelHeight) : nullptr;
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

void Compose(HDC dc, DIB* panel, HFONT font, const char (*lines)[41], const LineRect* rects, int lineCount) {
    ComposeOver(dc, panel, nullptr, font, lines, rects, lineCount);
}

PaintSurface::~PaintSurface() {
    ForgetPicture();
    DeleteMemory(memory_, bitmap_, previous_);
}

HDC PaintSurface::Get(HDC dc) {
    if (!memory_) memory_ = NewMemory(dc, &bitmap_, &previous_);
    return memory_;
}

HDC PaintSurface::Picture(HDC dc, DIB* panel) {
    if (picture_ || !panel) return picture_;
    picture_ = NewMemory(dc, &pictureBitmap_, &picturePrevious_);
    if (picture_) ComposeOver(picture_, panel, nullptr, nullptr, nullptr, nullptr, 0);
    return picture_;
}

void PaintSurface::ForgetPicture() { DeleteMemory(picture_, pictureBitmap_, picturePrevious_); }

void Paint(HWND window, DIB* panel, HFONT font, int32_t lineHeight, const TextDisplay& display, RepaintGate& gate,
           PaintSurface& surface) {
    PAINTSTRUCT ps;
    HDC paintDc = BeginPaint(window, &ps);
    // Only after BeginPaint: a repaint asked from here on must bring another paint.
    gate.BeginServe();
    constexpr int lineCount = screen::Lines;
    char lines[lineCount][41];
    LineRect rects[lineCount];
    display.Snapshot(lines);
    for (int i = 0; i < lineCount; ++i) rects[i] = display_geometry::LineRectFor(i, lineHeight);
    if (HDC memory = surface.Get(paintDc)) {
        // A line's change asks for its own rectangle only: a stream of them must not compose
        // and copy the whole panel each time. The clip keeps a line's glyphs inside the area.
        RECT area;
        if (!IntersectRect(&area, &ps.rcPaint, &kWholePanel)) area = RECT{};
        IntersectClipRect(memory, area.left, area.top, area.right, area.bottom);
        ComposeOver(memory, panel, surface.Picture(paintDc, panel), font, lines, rects, lineCount, area);
        SelectClipRgn(memory, nullptr);
        BitBlt(paintDc, area.left, area.top, area.right - area.left, area.bottom - area.top, memory, area.left,
               area.top, SRCCOPY);
    } else {
        Compose(paintDc, panel, font, lines, rects, lineCount);
    }
    EndPaint(window, &ps);
}

}  // namespace panel_painter

// Panel painting: picture first, then one TextOut per line in white on a transparent background.
#include "display/panel_painter_win.h"

#include <cstring>

#include "display/display_geometry.h"
#include "display/repaint_gate.h"
#include "display/text_display.h"
#include "support/dib_win.h"

namespace panel_painter {

void Compose(HDC dc, DIB* panel, HFONT font, const char (*lines)[41], const LineRect* rects, int lineCount) {
    HPALETTE palette = panel ? panel->GetPalette() : nullptr;
    HPALETTE oldPalette = palette ? SelectPalette(dc, palette, TRUE) : nullptr;
    if (panel) panel->Draw(dc, nullptr, nullptr, true, nullptr, false);
    if (font) {
        HGDIOBJ oldFont = SelectObject(dc, font);
        UINT oldAlign = SetTextAlign(dc, TA_LEFT | TA_TOP);
        COLORREF oldText = SetTextColor(dc, RGB(255, 255, 255));
        COLORREF oldBack = SetBkColor(dc, RGB(0, 0, 0));
        int oldMode = SetBkMode(dc, TRANSPARENT);
        for (int i = 0; i < lineCount; ++i) {
            const LineRect& r = rects[i];
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

PaintSurface::~PaintSurface() {
    if (memory_) {
        SelectObject(memory_, previous_);
        DeleteDC(memory_);
    }
    if (bitmap_) DeleteObject(bitmap_);
}

HDC PaintSurface::Get(HDC dc) {
    if (memory_) return memory_;
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, display_geometry::PanelWidth, display_geometry::PanelHeight)
                            : nullptr;
    if (!bitmap) {
        if (memory) DeleteDC(memory);
        return nullptr;
    }
    memory_ = memory;
    bitmap_ = bitmap;
    previous_ = SelectObject(memory_, bitmap_);
    return memory_;
}

void Paint(HWND window, DIB* panel, HFONT font, const TextDisplay& display, RepaintGate& gate, PaintSurface& surface) {
    PAINTSTRUCT ps;
    HDC paintDc = BeginPaint(window, &ps);
    // Only after BeginPaint: a repaint asked from here on must bring another paint.
    gate.BeginServe();
    constexpr int lineCount = display_geometry::Lines;
    char lines[lineCount][41];
    LineRect rects[lineCount];
    display.Snapshot(lines);
    for (int i = 0; i < lineCount; ++i) rects[i] = display.LineRectAt(i);
    const int w = display_geometry::PanelWidth;
    const int h = display_geometry::PanelHeight;
    if (HDC memory = surface.Get(paintDc)) {
        Compose(memory, panel, font, lines, rects, lineCount);
        BitBlt(paintDc, 0, 0, w, h, memory, 0, 0, SRCCOPY);
    } else {
        Compose(paintDc, panel, font, lines, rects, lineCount);
    }
    EndPaint(window, &ps);
}

}  // namespace panel_painter

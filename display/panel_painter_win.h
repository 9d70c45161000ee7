// Draws the panel: the picture with the 20 display lines over it, composed off-screen.
#pragma once
#include <windows.h>

#include "display/display_geometry.h"

class DIB;
class RepaintGate;
class TextDisplay;

namespace panel_painter {
// The off-screen bitmap of the paints, made at the first paint and kept until its owner goes or
// the panel's size changes with the display scaling: a fresh 630 x 384 bitmap for every paint
// cost more than the drawing (page faults of a new megabyte each time), and the display may ask
// for many paints a second. Beside it a copy of the panel picture as the screen shows it, drawn
// once and copied by each paint instead of converting the 256-colour picture every time.
class PaintSurface {
public:
    PaintSurface() = default;
    ~PaintSurface();
    PaintSurface(const PaintSurface&) = delete;
    PaintSurface& operator=(const PaintSurface&) = delete;
    // A memory DC of the size with the bitmap selected, compatible with `dc`; null when it cannot be made.
    HDC Get(HDC dc, SIZE size);
    // The picture drawn once at the size; null without a picture or when it cannot be made.
    HDC Picture(HDC dc, DIB* panel, SIZE size);
    // After the palette changed: the next paint draws the picture afresh.
    void ForgetPicture();

private:
    SIZE size_ = {0, 0};
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    HDC picture_ = nullptr;
    HBITMAP pictureBitmap_ = nullptr;
    HGDIOBJ picturePrevious_ = nullptr;
};

// Draws the whole panel at the layout's scaling into any device context (a memory DC in tests,
// the paint DC without one); the panel is `size` pixels.
void Compose(HDC dc, DIB* panel, SIZE size, HFONT font, const char (*lines)[41],
             const display_geometry::LineLayout& layout);

// The WM_PAINT work: off-screen compose of the full panel, then one BitBlt. The display is read
// after BeginPaint has taken the update region: a line changed and invalidated before that is
// in the copy, one changed later has asked for a paint that is still to come.
// Every repaint pending in `gate` is served by this paint. The panel is drawn at `dpi`. Lines
// given in `shownInstead` are drawn in place of the display's (the panel's own text).
void Paint(HWND window, DIB* panel, HFONT font, int32_t dpi, const display_geometry::LineLayout& layout,
           const TextDisplay& display, RepaintGate& gate, PaintSurface& surface,
           const char (*shownInstead)[41] = nullptr);
}  // namespace panel_painter

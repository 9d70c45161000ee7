// Draws the panel: the picture with the 20 display lines over it, composed off-screen.
#pragma once
#include <windows.h>

#include "display/display_owner.h"

class DIB;

namespace panel_painter {
// Draws the whole panel into any device context (a memory DC in tests, the paint DC without one).
void Compose(HDC dc, DIB* panel, HFONT font, const char (*lines)[41], const LineRect* rects, int lineCount);

// The WM_PAINT work: off-screen compose of the full panel, then one BitBlt.
void Paint(HWND window, DIB* panel, HFONT font, const char (*lines)[41], const LineRect* rects, int lineCount);
}  // namespace panel_painter

// Draws the panel: the picture with the 20 display lines over it, composed off-screen.
#pragma once
#include <windows.h>

#include "display/display_owner.h"

class DIB;
class RepaintGate;
class TextDisplay;

namespace panel_painter {
// Draws the whole panel into any device context (a memory DC in tests, the paint DC without one).
void Compose(HDC dc, DIB* panel, HFONT font, const char (*lines)[41], const LineRect* rects, int lineCount);

// The WM_PAINT work: off-screen compose of the full panel, then one BitBlt. The display is read
// after BeginPaint has taken the update region: a line changed and invalidated before that is
// in the copy, one changed later has asked for a paint that is still to come.
// Every repaint pending in `gate` is served by this paint.
void Paint(HWND window, DIB* panel, HFONT font, const TextDisplay& display, RepaintGate& gate);
}  // namespace panel_painter

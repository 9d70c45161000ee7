// The floor beside the panel's paint and display figures: a bare window of the panel's client
// size whose WM_PAINT is one BitBlt from a memory DC, and whose reader thread takes the fields
// the control writes (a cursor address and the 8 characters after it), draws them into that
// memory and asks at once for a repaint of one rectangle a read; a key-down makes it write "1" to
// the control at once. Whatever the panel spends above it is the panel's.
#pragma once
#include <windows.h>

namespace floor_window {
constexpr char ClassName[] = "QuorvexE2eFloor";

// `quorvex-e2e floor DEVICE X Y WIDTH HEIGHT TOKEN`: opens device DEVICE's pipe pair, shows the window
// with its client area at (X, Y) on the screen and runs until the pipes break.
int Run(int device, int x, int y, int width, int height);

// Where a field of the display sits in a client area like the panel's (8-pixel cells, 15-pixel lines).
RECT FieldRect(int row, int column, int characters);
}  // namespace floor_window

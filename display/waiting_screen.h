// What the display shows while the panel has no control: its own two lines in the middle of an
// otherwise blank screen, never the old control's text.
#pragma once
#include <cstdint>

#include "protocol/screen.h"

namespace waiting_screen {
// The rows the two texts stand on: the middle of the screen.
constexpr int32_t FirstRow = screen::Lines / 2 - 1;

// Blank lines with `first` and `second` (null: none) centred on FirstRow and the row below it,
// each cut to a line's width; every cell a printable character, each line ended by a NUL.
void Compose(const char* first, const char* second, char (&out)[screen::Lines][screen::Columns + 1]);
}  // namespace waiting_screen

// The 25 key windows of the main window, made from the key table and placed at the display scaling.
#pragma once
#include <windows.h>

#include <cstdint>

#include "keypad/hmi_button_win.h"
#include "protocol/key_table.h"

namespace keypad {
// Where a key's window sits in the panel's client area at the DPI: its table rectangle scaled by
// its edges, as the pictures are cut.
RECT KeyRect(const KeyRow& row, int32_t dpi);
// Creates, loads and shows each key in id order at the DPI; results are not checked (a key
// without its pictures still exists and draws what it has).
void CreateKeys(HMIButton (&keys)[KeyTable::Count], HWND parent, int32_t dpi);
// Moves every key to its place at the DPI and loads the pictures drawn for it.
void ScaleKeys(HMIButton (&keys)[KeyTable::Count], int32_t dpi);
}  // namespace keypad

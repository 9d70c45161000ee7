// The 25 key windows of the main window, made from the key table.
#pragma once
#include <windows.h>

#include "keypad/hmi_button_win.h"
#include "protocol/key_table.h"

namespace keypad {
// Creates, loads and shows each key in id order; results are not checked (a key without its
// pictures still exists and draws what it has).
void CreateKeys(HMIButton (&keys)[KeyTable::Count], HWND parent);
}  // namespace keypad

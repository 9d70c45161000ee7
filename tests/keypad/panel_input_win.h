// Real input for the end-to-end key tests: the pointer moved and its button pressed, and keys
// struck, through the system's input queue, as an operator would; and the panel's pixels.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

namespace panel_input {
// A point of the panel window's client area, on the screen.
POINT OnScreen(HWND frame, int x, int y);
POINT KeyCenter(HWND frame, int32_t keyId);

void MoveTo(POINT screen);
void ButtonDown();
void ButtonUp();
void Click(POINT screen);
void KeyDown(WORD virtualKey);
void KeyUp(WORD virtualKey);
void Tap(WORD virtualKey);

// The pushed look of a key of the panel, asked of its window.
bool ShowsPushed(HWND frame, int32_t keyId);

// 32-bit pixels of a screen rectangle, row by row from the top.
std::vector<uint32_t> CaptureScreen(const RECT& screen);
// 32-bit pixels of a key picture of this program's resources, drawn as the screen shows it.
std::vector<uint32_t> PicturePixels(int bitmapId, int width, int height);
}  // namespace panel_input

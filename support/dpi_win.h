// The display scaling a window is shown at, asked of the newest interface the system has, and
// the resources drawn for it.
#pragma once
#include <windows.h>

#include <cstdint>

namespace dpi_win {
// WM_DPICHANGED, declared by winuser.h only for Windows 8.1 and later.
constexpr UINT DpiChanged = 0x02E0;

// The window's DPI: GetDpiForWindow from Windows 10 1607 on, else the screen's (the system DPI,
// which is what a system-aware program on Windows 7 to 8.1 is drawn at).
int32_t ForWindow(HWND window);
// The screen's DPI, for sizes needed before the window exists.
int32_t ForScreen();
// The bitmap of the picture set drawn for the DPI, or the 100 % one where this build has none.
UINT PictureId(UINT id100, int32_t dpi);
}  // namespace dpi_win

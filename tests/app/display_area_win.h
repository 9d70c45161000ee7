// Test helper: the panel's display area in pixels, as quorvex.exe shows it on the screen and as
// this build draws given lines there (from the test program's own copy of the resources).
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace display_area {
// The display's lines at 96 DPI, in client pixels.
RECT Area();
// The area of the frame's client as the screen shows it now.
std::vector<uint32_t> Shown(HWND frame);
// The area as the painter draws these lines (missing ones blank, each padded to 40 columns) over
// the panel picture at 96 DPI, read back the way the screen is.
std::vector<uint32_t> Drawn(const std::vector<std::string>& lines);
// How many pixels differ; all of them when the sizes differ.
size_t Differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b);
// Waits up to timeoutMs until the frame shows these lines; the pixels still differing at the end.
size_t WaitShown(HWND frame, const std::vector<std::string>& lines, DWORD timeoutMs);
}  // namespace display_area

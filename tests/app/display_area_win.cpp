// The display area's pixels: a screen capture of the frame's client, and the painter's own
// drawing of lines into a memory bitmap, both read back as 32-bit DIB sections.
#include "tests/app/display_area_win.h"

#include <cstdio>

#include "display/display_font_win.h"
#include "display/display_geometry.h"
#include "display/panel_painter_win.h"
#include "protocol/panel.h"
#include "support/dib_win.h"
#include "tests/keypad/panel_input_win.h"

namespace display_area {

RECT Area() {
    return {display_geometry::Left, display_geometry::Top, display_geometry::Right,
            display_geometry::Top + display_geometry::Lines * 15};
}

std::vector<uint32_t> Shown(HWND frame) {
    const RECT area = Area();
    POINT origin = {0, 0};
    ClientToScreen(frame, &origin);
    return panel_input::CaptureScreen(
        {origin.x + area.left, origin.y + area.top, origin.x + area.right, origin.y + area.bottom});
}

std::vector<uint32_t> Drawn(const std::vector<std::string>& screen) {
    const RECT area = Area();
    DIB panel;
    panel.LoadFromResource(GetModuleHandleA(nullptr), panel::BitmapId);
    HFONT font = display_font::Create("Courier New", dpi::Base);
    char lines[20][41] = {};
    const int h = display_font::LineHeight(font);
    for (int i = 0; i < 20; ++i)
        std::snprintf(lines[i], sizeof lines[i], "%-40.40s", i < static_cast<int>(screen.size()) ? screen[i].c_str() : "");
    HDC screenDc = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screenDc);
    HBITMAP bitmap = CreateCompatibleBitmap(screenDc, panel::Width, panel::Height);
    ReleaseDC(nullptr, screenDc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    panel_painter::Compose(memory, &panel, {panel::Width, panel::Height}, font, lines,
                           display_geometry::LayoutAt(dpi::Base, h));
    // Read back through the same path as the screen capture: a 32-bit DIB section.
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = area.right - area.left;
    bi.bmiHeader.biHeight = -(area.bottom - area.top);
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC copy = CreateCompatibleDC(memory);
    HGDIOBJ oldCopy = SelectObject(copy, dib);
    BitBlt(copy, 0, 0, area.right - area.left, area.bottom - area.top, memory, area.left, area.top, SRCCOPY);
    GdiFlush();
    std::vector<uint32_t> pixels;
    const auto* p = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < (area.right - area.left) * (area.bottom - area.top); ++i) pixels.push_back(p[i] & 0xFFFFFFu);
    SelectObject(copy, oldCopy);
    DeleteDC(copy);
    DeleteObject(dib);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    DeleteObject(font);
    return pixels;
}

size_t Differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size()) return a.size() > b.size() ? a.size() : b.size();
    size_t differing = 0;
    for (size_t i = 0; i < a.size(); ++i) differing += a[i] != b[i];
    return differing;
}

size_t WaitShown(HWND frame, const std::vector<std::string>& lines, DWORD timeoutMs) {
    const std::vector<uint32_t> want = Drawn(lines);
    const DWORD start = GetTickCount();
    for (;;) {
        const size_t differing = Differing(Shown(frame), want);
        if (differing == 0 || GetTickCount() - start >= timeoutMs) return differing;
        Sleep(50);
    }
}

}  // namespace display_area

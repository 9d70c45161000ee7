// The floor window: no child windows, no palette, no text drawing; the reader fills each field's
// cells with a colour made from its value, which is all the pixels need to show the change.
#include "bench/e2e/floor_window_win.h"

#include <algorithm>
#include <cstdint>

#include "bench/e2e/bench_peer_win.h"
#include "display/display_geometry.h"
#include "protocol/inbound_table.h"

namespace floor_window {
namespace {
constexpr int kCellWidth = 8;
constexpr int kLineHeight = 15;
constexpr int kFieldBytes = 10;  // an address of two bytes and an 8-character value

struct Floor {
    HWND window = nullptr;
    HDC memory = nullptr;
    uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
    HANDLE in = INVALID_HANDLE_VALUE;
    HANDLE out = INVALID_HANDLE_VALUE;
};
Floor g_floor;

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            const RECT& r = ps.rcPaint;
            BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, g_floor.memory, r.left, r.top, SRCCOPY);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_KEYDOWN: {
            // The key's floor: its byte written at once from the window thread.
            DWORD written = 0;
            WriteFile(g_floor.out, "1", 1, &written, nullptr);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

void Fill(const RECT& r, uint32_t colour) {
    for (int y = std::max(0L, r.top); y < std::min<LONG>(g_floor.height, r.bottom); ++y)
        for (int x = std::max(0L, r.left); x < std::min<LONG>(g_floor.width, r.right); ++x)
            g_floor.bits[y * g_floor.width + x] = colour;
}

// The first 8 characters after each cursor address, across reads: all the benchmark's streams
// are addresses and text.
class FieldScanner {
public:
    // Draws the fields the bytes complete; the rectangle they cover, empty for none.
    RECT Scan(const uint8_t* bytes, DWORD count) {
        RECT changed = {};
        for (DWORD i = 0; i < count; ++i) {
            const uint8_t b = bytes[i];
            if (b >= inbound::AddressFirst) {
                address_[addressBytes_++ % 2] = b;
                length_ = addressBytes_ % 2 == 0 ? 0 : -1;
                colour_ = 0x404040;
                continue;
            }
            addressBytes_ = 0;
            if (length_ < 0 || length_ == kValueLength) continue;
            colour_ = colour_ * 31 + b;
            if (++length_ < kValueLength) continue;
            const int row = inbound::AddressRow(address_[0]);
            const RECT r = FieldRect(row, inbound::AddressColumn(address_[0], address_[1]), kValueLength);
            Fill(r, colour_ & 0xFFFFFF);
            UnionRect(&changed, &changed, &r);
        }
        return changed;
    }

private:
    static constexpr int kValueLength = kFieldBytes - 2;
    uint8_t address_[2] = {};
    int addressBytes_ = 0;
    int length_ = -1;  // characters of the current field so far; -1 outside a field
    uint32_t colour_ = 0;
};

DWORD WINAPI ReadLoop(void*) {
    uint8_t block[2048];
    DWORD n = 0;
    FieldScanner scanner;
    while (ReadFile(g_floor.in, block, sizeof block, &n, nullptr)) {
        // One request a read, as a reader that must keep up with a flood would make.
        const RECT r = scanner.Scan(block, n);
        if (!IsRectEmpty(&r)) InvalidateRect(g_floor.window, &r, FALSE);
    }
    PostMessageA(g_floor.window, WM_CLOSE, 0, 0);
    return 0;
}
}  // namespace

RECT FieldRect(int row, int column, int characters) {
    const LineRect line = display_geometry::LineRectFor(row, display_geometry::LayoutAt(dpi::Base, kLineHeight));
    const int left = line.left + display_geometry::TextIndent + column * kCellWidth;
    return RECT{left, line.top, left + characters * kCellWidth, line.bottom};
}

int Run(int device, int x, int y, int width, int height) {
    if (!OpenClientEnds(device, &g_floor.in, &g_floor.out)) return 2;
    g_floor.width = width;
    g_floor.height = height;

    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib) return 3;
    g_floor.bits = static_cast<uint32_t*>(bits);
    Fill(RECT{0, 0, width, height}, 0x303030);
    g_floor.memory = CreateCompatibleDC(nullptr);
    SelectObject(g_floor.memory, dib);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = &FloorProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = ClassName;
    if (!RegisterClassA(&wc)) return 3;
    // No frame: the window is its client area. Not activated, so that the panel keeps the focus.
    g_floor.window = CreateWindowExA(WS_EX_NOACTIVATE, ClassName, "floor", WS_POPUP, x, y, width, height, nullptr,
                                     nullptr, wc.hInstance, nullptr);
    if (!g_floor.window) return 3;
    ShowWindow(g_floor.window, SW_SHOWNOACTIVATE);
    UpdateWindow(g_floor.window);
    HANDLE reader = CreateThread(nullptr, 0, &ReadLoop, nullptr, 0, nullptr);
    if (!reader) return 3;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    CloseHandle(g_floor.out);
    return 0;
}
}  // namespace floor_window

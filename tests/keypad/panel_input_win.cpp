// Input through SendInput and pixels through the screen DC.
#include "tests/keypad/panel_input_win.h"

namespace panel_input {
namespace {
// Where the pointer was last sent: button events carry it too, so that they never act where
// the pointer was before a move the system has not applied yet.
POINT target = {0, 0};

void SendMouse(DWORD flags) {
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    // Rounded up: the system takes the pixel as dx * w / 65536 rounded down, so a rounded-to-nearest
    // dx lands one pixel short on a screen whose width does not divide 65536 (1600).
    in.mi.dx = (target.x * 65536 + w - 1) / w;
    in.mi.dy = (target.y * 65536 + h - 1) / h;
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof(in));
}

bool IsExtended(WORD vk) {
    switch (vk) {
        case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT:
        case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END:
            return true;
        default:
            return false;
    }
}

void SendKey(WORD vk, DWORD flags) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = flags | (IsExtended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    SendInput(1, &in, sizeof(in));
}

std::vector<uint32_t> ReadDib(HDC source, int x, int y, int width, int height) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<uint32_t> pixels;
    if (!dib) return pixels;
    HDC mem = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i) pixels.push_back(p[i] & 0xFFFFFFu);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(dib);
    return pixels;
}
}  // namespace

POINT OnScreen(HWND frame, int x, int y) {
    POINT p = {x, y};
    ClientToScreen(frame, &p);
    return p;
}

POINT KeyCenter(HWND frame, int32_t keyId) {
    // The key's own window: where it is at any display scaling.
    RECT r;
    GetWindowRect(GetDlgItem(frame, keyId), &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void MoveTo(POINT screen) {
    target = screen;
    SendMouse(0);
    // Until the pointer is there (bounded: a lost move shows as a wrong click, not a hang).
    for (int i = 0; i < 50; ++i) {
        POINT now;
        if (GetCursorPos(&now) && now.x == screen.x && now.y == screen.y) return;
        Sleep(10);
    }
}

void ButtonDown() { SendMouse(MOUSEEVENTF_LEFTDOWN); }
void ButtonUp() { SendMouse(MOUSEEVENTF_LEFTUP); }

void Click(POINT screen) {
    MoveTo(screen);
    ButtonDown();
    ButtonUp();
}

void KeyDown(WORD vk) { SendKey(vk, 0); }
void KeyUp(WORD vk) { SendKey(vk, KEYEVENTF_KEYUP); }
void Tap(WORD vk) {
    KeyDown(vk);
    KeyUp(vk);
}

bool ShowsPushed(HWND frame, int32_t keyId) {
    return (SendMessageA(GetDlgItem(frame, keyId), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
}

std::vector<uint32_t> CaptureScreen(const RECT& r) {
    HDC screen = GetDC(nullptr);
    std::vector<uint32_t> pixels = ReadDib(screen, r.left, r.top, r.right - r.left, r.bottom - r.top);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::vector<uint32_t> PicturePixels(int bitmapId, int width, int height) {
    HBITMAP picture = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!picture) return {};
    HDC screen = GetDC(nullptr);
    HDC source = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(source, picture);
    std::vector<uint32_t> pixels = ReadDib(source, 0, 0, width, height);
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(picture);
    return pixels;
}
}  // namespace panel_input

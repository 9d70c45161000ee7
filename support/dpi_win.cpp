// DPI queries through GetProcAddress: the program runs on Windows 7, whose user32 lacks them.
#include "support/dpi_win.h"

#include "support/dpi_scale.h"

namespace dpi_win {

int32_t ForWindow(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    // user32 is a KnownDLL and imported already: no search of the program's folder.
    auto get = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const UINT dpi = get && window ? get(window) : 0;
    return dpi ? static_cast<int32_t>(dpi) : ForScreen();
}

int32_t ForScreen() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi;
}

UINT PictureId(UINT id100, int32_t dpi) {
    const UINT id = static_cast<UINT>(dpi::ArtBitmapId(static_cast<int32_t>(id100), dpi::ArtSetFor(dpi)));
    const bool drawn = FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2) /* RT_BITMAP */) != nullptr;
    return drawn ? id : id100;
}

}  // namespace dpi_win

// Status bar over the common-controls status window.
#include "support/status_bar_win.h"

#include <commctrl.h>

#include <cstring>

#include "support/system_dll_win.h"

bool StatusBar::Create(HWND parent, UINT id, int32_t dpi) {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES};
    auto init = system_dll::Function<decltype(&InitCommonControlsEx)>(system_dll::Dll::CommonControls,
                                                                      "InitCommonControlsEx");
    if (init) init(&icc);
    hwnd_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | CCS_BOTTOM, 0, 0, 0, 0, parent,
                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    madeDpi_ = dpi;
    madeFont_ = hwnd_ ? reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)) : nullptr;
    return hwnd_ != nullptr;
}

void StatusBar::Destroy() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    count_ = 0;
    ReleaseScaledFont();
}

void StatusBar::ReleaseScaledFont() {
    if (scaledFont_) DeleteObject(scaledFont_);
    scaledFont_ = nullptr;
}

void StatusBar::SetDpi(int32_t dpi) {
    if (!hwnd_ || dpi <= 0 || madeDpi_ <= 0) return;
    if (dpi == madeDpi_ && !scaledFont_) return;  // as made: nothing to undo
    HFONT use = madeFont_;
    HFONT scaled = nullptr;
    if (dpi != madeDpi_) {
        LOGFONTA lf = {};
        HGDIOBJ from = madeFont_ ? static_cast<HGDIOBJ>(madeFont_) : GetStockObject(DEFAULT_GUI_FONT);
        if (GetObjectA(from, sizeof lf, &lf) != sizeof lf) return;
        lf.lfHeight = MulDiv(lf.lfHeight, dpi, madeDpi_);
        lf.lfWidth = MulDiv(lf.lfWidth, dpi, madeDpi_);
        scaled = CreateFontIndirectA(&lf);
        if (!scaled) return;
        use = scaled;
    }
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(use), TRUE);
    // The bar takes its height from the font at its next size.
    SendMessageA(hwnd_, WM_SIZE, 0, 0);
    ReleaseScaledFont();
    scaledFont_ = scaled;
}

int StatusBar::PaneWidthFor(const char* text) const {
    if (!hwnd_) return 0;
    HDC dc = GetDC(hwnd_);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
    if (old) SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    int borders[3] = {0, 0, 0};
    SendMessageA(hwnd_, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    return size.cx + 2 * borders[2] + 8;
}

void StatusBar::SetPanes(const char* const* sampleTexts, int count) {
    if (!hwnd_ || count < 1 || count > MaxPanes) return;
    RECT client;
    GetClientRect(hwnd_, &client);
    int rights[MaxPanes];
    int right = client.right;
    for (int i = count - 1; i >= 1; --i) {
        rights[i] = right;
        right -= PaneWidthFor(sampleTexts[i]);
    }
    rights[0] = right;
    SendMessageA(hwnd_, SB_SETPARTS, count, reinterpret_cast<LPARAM>(rights));
    count_ = count;
}

void StatusBar::SetPaneText(int pane, const char* text) {
    if (!hwnd_ || pane < 0 || pane >= count_) return;
    WPARAM flags = pane == 0 ? SBT_NOBORDERS : 0;
    SendMessageA(hwnd_, SB_SETTEXTA, static_cast<WPARAM>(pane) | flags, reinterpret_cast<LPARAM>(text ? text : ""));
}

int StatusBar::Height() const {
    if (!hwnd_) return 0;
    RECT r;
    GetWindowRect(hwnd_, &r);
    return r.bottom - r.top;
}

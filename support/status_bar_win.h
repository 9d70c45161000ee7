// Status bar wrapper: the common-controls status window with panes sized to sample texts.
#pragma once
#include <windows.h>

#include <cstdint>

class StatusBar {
public:
    static constexpr int MaxPanes = 4;

    StatusBar() = default;
    StatusBar(const StatusBar&) = delete;
    StatusBar& operator=(const StatusBar&) = delete;
    ~StatusBar() { Destroy(); }

    // Creates the bar along the bottom of the parent, with a top border line and no size grip,
    // in the system's font for the DPI it is made at.
    bool Create(HWND parent, UINT id, int32_t dpi);
    // The font scaled from the one it was made with to the DPI (the window moved to a monitor of
    // another scaling); at the DPI it was made at, that font again. Call SetPanes after it.
    void SetDpi(int32_t dpi);
    void Destroy();
    HWND Handle() const { return hwnd_; }

    // Pane 0 stretches over the rest of the bar without a border; each later pane is as wide
    // as its sample text in the bar's font.
    void SetPanes(const char* const* sampleTexts, int count);
    void SetPaneText(int pane, const char* text);
    int Height() const;

    // Width of a text in the bar's font, with room for the pane's border and padding.
    int PaneWidthFor(const char* text) const;

private:
    void ReleaseScaledFont();

    HWND hwnd_ = nullptr;
    int count_ = 0;
    int32_t madeDpi_ = 0;
    HFONT madeFont_ = nullptr;    // the bar's own, not ours
    HFONT scaledFont_ = nullptr;  // ours, while the DPI differs from madeDpi_
};

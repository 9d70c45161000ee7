// The panel key control: an owner-drawn button drawn from its bitmaps, as a push key, an
// auto-repeat key (a click every 300 ms while held) or a latch key (down after one click,
// up after the next).
#pragma once
#include <windows.h>

#include <cstdint>

#include "support/button_win.h"
#include "support/dib_win.h"

class HMIButton : public CButton {
    QV_DECLARE_RUNTIME_CLASS(HMIButton)
    QV_DECLARE_MESSAGE_MAP()
public:
    HMIButton() = default;
    ~HMIButton() override { Destroy(); }

    // A mode above 3 is ignored (push). The style gets WS_CHILD; without WS_VISIBLE the key
    // stays hidden until shown.
    bool Create(uint32_t mode, DWORD style, const RECT& rect, HWND parent, UINT id);
    // 1 when all four loaded or the normal id is 0, else 0; an id of 0 leaves that bitmap empty.
    int LoadBitmaps(UINT normalId, UINT pressedId, UINT focusId, UINT disabledId);
    void ToggleLatch();
    void ReleaseLatch();
    // Releases the bitmaps (disabled, focus, pressed, normal), then destroys the window.
    void Destroy();

    void DrawItem(const DRAWITEMSTRUCT& item) override;

    uint32_t Mode() const { return mode_; }
    bool Latched() const { return latched_ != 0; }
    // Numbers the mouse press held on the key while it is held (its ticks and its release
    // click come from it), else 0.
    uint32_t HeldPress() const { return heldPress_; }

private:
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnLButtonUp(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnKillFocus(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnQueryGestures(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    bool ShowsPushed() const { return (GetState() & BST_PUSHED) != 0; }
    void ReturnFocus();

    uint32_t mode_ = 1;
    UINT_PTR repeatTimer_ = 0;
    int latched_ = 0;
    // A latch key toggles only on the release of a press that began on it: a press begun elsewhere
    // and released here would latch without a click.
    uint32_t heldPress_ = 0;
    uint32_t presses_ = 0;
    DIB normal_;
    DIB pressed_;
    DIB focus_;
    DIB disabled_;
};

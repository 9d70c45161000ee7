// What the display needs of the window that shows it, in lines: which changed, the font's
// existence, the exit. Where a line sits on the window is the window's business.
#pragma once
#include <cstdint>

class DisplayOwner {
public:
    // Bit i for line i: lines whose cells changed and need a repaint without erasing the
    // background. Called from any thread once the change is in the buffer, with no display
    // lock held; never with no bit set.
    virtual void LinesChanged(uint32_t lines) = 0;
    virtual bool HasDisplayFont() const = 0;
    // Called on the reader thread with no display lock held; the display may be gone afterwards.
    virtual void OnControlExited() = 0;

protected:
    ~DisplayOwner() = default;
};

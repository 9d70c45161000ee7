// What the display needs of the window that shows it: repaints, the font's existence, the exit.
#pragma once
#include <cstdint>

// Client pixels; left and top edges inside, right and bottom outside.
struct LineRect {
    int32_t left, top, right, bottom;
};

class DisplayOwner {
public:
    // Invalidate the rectangle without erasing the background; called from any thread.
    virtual void RepaintLine(const LineRect& r) = 0;
    virtual bool HasDisplayFont() const = 0;
    // Called on the reader thread with no display lock held; the display may be gone afterwards.
    virtual void OnControlExited() = 0;

protected:
    ~DisplayOwner() = default;
};

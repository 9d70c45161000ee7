// A display kept without a window (the tools, the protocol scripts, the fuzzers): shown as if
// its font existed, so that text is kept; repaints and the exit go nowhere.
#pragma once
#include <cstdint>

#include "display/display_owner.h"

class WindowlessOwner final : public DisplayOwner {
public:
    void LinesChanged(uint32_t) override {}
    bool HasDisplayFont() const override { return true; }
    void OnControlExited() override {}
};

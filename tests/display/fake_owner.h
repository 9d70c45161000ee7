// A display owner for tests: records repaint requests and exits, with a switchable font.
#pragma once
#include <functional>
#include <vector>

#include "display/display_owner.h"

class FakeOwner final : public DisplayOwner {
public:
    void RepaintLine(const LineRect& r) override { repaints.push_back(r); }
    bool HasDisplayFont() const override { return hasFont; }
    void OnControlExited() override {
        ++exits;
        if (onExit) onExit();
    }

    bool hasFont = true;
    int exits = 0;
    std::vector<LineRect> repaints;
    std::function<void()> onExit;
};

// Distinct rectangles so that a repaint request names its line.
inline LineRect TestRect(int i) { return {i, 100 + i, 200 + i, 300 + i}; }

inline bool operator==(const LineRect& a, const LineRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

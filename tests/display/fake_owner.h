// A display owner for tests: records the changed lines and the exits, with a switchable font.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "display/display_owner.h"

class FakeOwner final : public DisplayOwner {
public:
    void LinesChanged(uint32_t lines) override {
        EXPECT_NE(lines, 0u) << "told of a change of no line";
        for (int i = 0; i < 32; ++i)
            if (lines & (1u << i)) repaints.push_back(i);
    }
    bool HasDisplayFont() const override { return hasFont; }
    void OnControlExited() override {
        ++exits;
        if (onExit) onExit();
    }

    bool hasFont = true;
    int exits = 0;
    std::vector<int> repaints;  // the changed lines, in line order within a change
    std::function<void()> onExit;
};

// Which command-pipe writes mean the control is gone, and when the flush is asked at all.
#include "link/write_rule.h"

#include <gtest/gtest.h>

namespace {

class FakeFlusher final : public PipeFlusher {
public:
    explicit FakeFlusher(bool ok) : ok_(ok) {}
    bool Flush() override {
        ++flushes;
        return ok_;
    }
    int flushes = 0;

private:
    bool ok_;
};

TEST(JudgeWrite, Outcomes) {
    using V = WriteVerdict;
    struct Case {
        const char* name;
        WriteAttempt attempt;
        bool flushOk;
        V verdict;
        int flushes;
    };
    const Case cases[] = {
        {"written", {true, 3, false}, false, V::Went, 0},
        {"ok with nothing counted", {true, 0, false}, false, V::Went, 0},
        {"failed after some bytes", {false, 1, true}, false, V::Went, 0},
        {"gone, flush would pass (Wine)", {false, 0, true}, true, V::Gone, 0},
        {"gone, flush would fail (Windows)", {false, 0, true}, false, V::Gone, 0},
        {"other failure, flush passes", {false, 0, false}, true, V::TryAgain, 1},
        {"other failure, flush fails (Windows broken pipe)", {false, 0, false}, false, V::Gone, 1},
    };
    for (const Case& c : cases) {
        FakeFlusher flusher(c.flushOk);
        EXPECT_EQ(JudgeWrite(c.attempt, flusher), c.verdict) << c.name;
        EXPECT_EQ(flusher.flushes, c.flushes) << c.name;
    }
}

}  // namespace

// Replay timing: only the control's blocks, in time order, gaps scaled by the speed, no overflow.
#include <gtest/gtest.h>

#include <vector>

#include "tools/sim/replay_plan.h"

namespace {
using capture::Direction;

TEST(SimReplayPlan, InboundBlocksTimedFromTheFirstRecordAndScaled) {
    const std::vector<capture::Record> records = {
        {5000000, Direction::ToControl, "PPK"},  // the first record, recorded after the others
        {1000000, Direction::ToPanel, "A"},
        {1000000, Direction::ToPanel, "B"},
        {3500000, Direction::ToPanel, "C"},
        {2000000, Direction::ToControl, "K"},
        {UINT64_MAX, Direction::ToPanel, "Z"},
    };
    struct Case {
        uint32_t speedMilli;
        std::vector<uint64_t> at;
    };
    const Case cases[] = {
        {1000, {0, 0, 2500000, (UINT64_MAX - 1000000) / 1000 * 1000}},
        {2000, {0, 0, 1250000, (UINT64_MAX - 1000000) / 2000 * 1000}},
        {500, {0, 0, 5000000, (UINT64_MAX - 1000000) / 500 * 1000}},
    };
    for (const Case& c : cases) {
        const std::vector<ReplayStep> steps = PlanReplay(records, c.speedMilli);
        ASSERT_EQ(steps.size(), 4u);
        std::string bytes;
        for (size_t i = 0; i < steps.size(); ++i) {
            EXPECT_EQ(steps[i].atUs, c.at[i]) << c.speedMilli << " " << i;
            bytes += steps[i].bytes;
        }
        EXPECT_EQ(bytes, "ABCZ");
    }
    EXPECT_TRUE(PlanReplay({}, 1000).empty());
    EXPECT_TRUE(PlanReplay({{0, Direction::ToControl, "K"}}, 1000).empty());
}
}  // namespace

// Busy nesting: the hourglass at every entry, the arrow only when the last stretch ends, and
// nothing for a leave without a stretch. Also the command-line index check.
#include <gtest/gtest.h>

#include <climits>

#include "support/arg_index.h"
#include "support/busy_count.h"

namespace {
using Change = BusyCount::Change;

TEST(BusyCount, ArrowOnlyWhenTheLastStretchEnds) {
    struct Step {
        bool busy;
        Change change;
        int count;
    } steps[] = {
        {false, Change::None, 0},      {true, Change::Hourglass, 1}, {true, Change::Hourglass, 2},
        {false, Change::None, 1},      {false, Change::Arrow, 0},    {false, Change::None, 0},
        {true, Change::Hourglass, 1},  {false, Change::Arrow, 0},
    };
    BusyCount count;
    int i = 0;
    for (const Step& step : steps) {
        EXPECT_EQ(step.busy ? count.Enter() : count.Leave(), step.change) << "step " << i;
        EXPECT_EQ(count.Count(), step.count) << "step " << i;
        EXPECT_EQ(count.Busy(), step.count > 0) << "step " << i;
        ++i;
    }
}

TEST(ArgIndex, ValidFromZeroBelowTheCount) {
    struct Row {
        int index;
        int count;
        bool valid;
    } rows[] = {{0, 1, true}, {2, 3, true}, {3, 3, false}, {-1, 3, false}, {0, 0, false}, {INT_MIN, 3, false},
                {INT_MAX, INT_MAX, false}};
    for (const Row& row : rows) EXPECT_EQ(ArgIndexValid(row.index, row.count), row.valid) << row.index;
}
}  // namespace

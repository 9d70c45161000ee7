// The scratch ring: piece sizes, the wrap that keeps the last byte unused, and two threads
// taking pieces at once.
#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "support/scratch_ring.h"

namespace {
constexpr int32_t kArea = ScratchRing::AreaSize;

TEST(ScratchRing, AcceptsSizesFromOneTo8192Only) {
    ScratchRing ring;
    ASSERT_TRUE(ring.Create());
    struct Row {
        int32_t size;
        ScratchRing::Result expected;
    } rows[] = {
        {1, ScratchRing::Result::Ok},          {8192, ScratchRing::Result::Ok},
        {8193, ScratchRing::Result::BadSize},  {0, ScratchRing::Result::BadSize},
        {-1, ScratchRing::Result::BadSize},    {INT32_MIN, ScratchRing::Result::BadSize},
        {INT32_MAX, ScratchRing::Result::BadSize},
    };
    for (const Row& row : rows) {
        const int32_t before = ring.Offset();
        ScratchRing::Result result = ScratchRing::Result::NoArea;
        char* piece = ring.Alloc(row.size, &result);
        EXPECT_EQ(result, row.expected) << row.size;
        EXPECT_EQ(piece != nullptr, row.expected == ScratchRing::Result::Ok) << row.size;
        if (row.expected != ScratchRing::Result::Ok) {
            EXPECT_EQ(ring.Offset(), before) << row.size;
        }
    }
}

TEST(ScratchRing, WrapsWhenThePieceWouldReachTheLastByte) {
    ScratchRing ring;
    ASSERT_TRUE(ring.Create());
    struct Row {
        int32_t offset;
        int32_t size;
        int32_t pieceAt;
        int32_t offsetAfter;
    } rows[] = {
        {kArea - 255, 255, 0, 255},                // sum exactly the area: wraps
        {kArea - 256, 255, kArea - 256, kArea - 1},  // one lower: the piece at the offset
        {kArea - 1, 1, 0, 1},
        {kArea - 8193, 8192, kArea - 8193, kArea - 1},
        {kArea - 8192, 8192, 0, 8192},
        {0, 8192, 0, 8192},
    };
    for (const Row& row : rows) {
        ring.SetOffsetForTest(row.offset);
        char* piece = ring.Alloc(row.size);
        ASSERT_NE(piece, nullptr);
        EXPECT_EQ(piece - ring.Area(), row.pieceAt) << row.offset << "+" << row.size;
        EXPECT_EQ(ring.Offset(), row.offsetAfter) << row.offset << "+" << row.size;
    }
}

TEST(ScratchRing, WithoutAreaGivesNothingAndSaysWhy) {
    ScratchRing ring;
    ScratchRing::Result result = ScratchRing::Result::Ok;
    EXPECT_EQ(ring.Alloc(10, &result), nullptr);
    EXPECT_EQ(result, ScratchRing::Result::NoArea);
    // No area wins over a bad size: nothing is reported for a ring that does not exist.
    EXPECT_EQ(ring.Alloc(0, &result), nullptr);
    EXPECT_EQ(result, ScratchRing::Result::NoArea);
    ASSERT_TRUE(ring.Create());
    ring.Alloc(100);
    ring.Destroy();
    EXPECT_FALSE(ring.HasArea());
    EXPECT_EQ(ring.Offset(), 0);
}

TEST(ScratchRing, TwoThreadsOnlyEverGetPiecesInsideTheArea) {
    ScratchRing ring;
    ASSERT_TRUE(ring.Create());
    constexpr int kRounds = 20000;
    const int32_t sizes[2] = {255, 8192};
    std::vector<int64_t> worst(2, 0);
    std::vector<int> misses(2, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRounds; ++i) {
                char* piece = ring.Alloc(sizes[t]);
                if (!piece) {
                    ++misses[t];
                    continue;
                }
                const int64_t end = (piece - ring.Area()) + sizes[t];
                if (end > worst[t]) worst[t] = end;
            }
        });
    }
    for (std::thread& t : threads) t.join();
    for (int t = 0; t < 2; ++t) {
        EXPECT_EQ(misses[t], 0);
        EXPECT_LT(worst[t], kArea) << "a piece reached the last byte";
    }
}
}  // namespace

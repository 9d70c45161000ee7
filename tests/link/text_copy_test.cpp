// The text copy loops against a byte-at-a-time copy: every byte value at every offset, every limit.
#include "link/text_copy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {
using CopyFn = uint32_t (*)(const uint8_t*, uint32_t, char*);

uint32_t Plain(const uint8_t* src, uint32_t limit, char* dst) {
    uint32_t i = 0;
    for (; i < limit && src[i] >= 0x20 && src[i] < 0x80; ++i) dst[i] = static_cast<char>(src[i]);
    return i;
}

void ExpectLikePlain(CopyFn copy, const char* name) {
    constexpr uint32_t kSize = 300;
    for (int value = 0; value < 256; ++value) {
        for (uint32_t at = 0; at < 280; ++at) {
            uint8_t src[kSize];
            for (uint32_t k = 0; k < kSize; ++k) src[k] = static_cast<uint8_t>(0x20 + (k * 7) % 0x60);
            src[at] = static_cast<uint8_t>(value);
            for (uint32_t limit : {0u, 1u, 15u, 16u, 17u, 127u, 128u, 129u, 143u, 144u, 255u, 256u, 257u, kSize}) {
                char want[kSize], got[kSize];
                std::memset(want, 0, sizeof want);
                std::memset(got, 0, sizeof got);
                const uint32_t n = Plain(src, limit, want);
                ASSERT_EQ(copy(src, limit, got), n) << name << " value " << value << " at " << at << " limit " << limit;
                ASSERT_EQ(std::string(got, n), std::string(want, n)) << name << " value " << value << " at " << at;
            }
        }
    }
}

TEST(TextCopy, WordsMatchAPlainCopy) { ExpectLikePlain(&text_copy::CopyTextWords, "words"); }

#ifdef QUORVEX_TEXT_COPY_SSE2
TEST(TextCopy, VectorsMatchAPlainCopy) { ExpectLikePlain(&text_copy::CopyTextVector, "vectors"); }
#endif

TEST(TextCopy, NeverWritesPastTheLimit) {
    uint8_t src[400];
    std::memset(src, 'a', sizeof src);
    for (uint32_t limit = 0; limit <= 300; ++limit) {
        char dst[400];
        std::memset(dst, '#', sizeof dst);
        EXPECT_EQ(text_copy::CopyText(src, limit, dst), limit);
        for (uint32_t k = limit; k < sizeof dst; ++k) ASSERT_EQ(dst[k], '#') << "limit " << limit << " byte " << k;
    }
}
}  // namespace

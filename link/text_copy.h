// Copying the leading text bytes (0x20..0x7F) of a block into a run: the hot loop of decoding.
#pragma once
#include <cstdint>
#include <cstring>

#include "protocol/inbound_table.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QUORVEX_TEXT_COPY_SSE2 1
#endif

namespace text_copy {
using inbound::IsText;
// The word and vector tests below are written for these bounds.
static_assert(inbound::TextFirst == 0x20 && inbound::AddressFirst == 0x80);

// Eight bytes at a time; portable. Returns the count of leading text bytes copied (<= limit).
inline uint32_t CopyTextWords(const uint8_t* src, uint32_t limit, char* dst) {
    constexpr uint64_t kHigh = 0x8080808080808080ull;
    constexpr uint64_t kLift = 0x6060606060606060ull;
    uint32_t i = 0;
    // A byte is text when its high bit is clear and adding 0x60 sets it; a carry out of a
    // non-text byte can only spoil a word that fails anyway.
    for (; i + 8 <= limit; i += 8) {
        uint64_t x;
        std::memcpy(&x, src + i, 8);
        if (((x + kLift) & ~x & kHigh) != kHigh) break;
        std::memcpy(dst + i, &x, 8);
    }
    for (; i < limit && IsText(src[i]); ++i) dst[i] = static_cast<char>(src[i]);
    return i;
}

#ifdef QUORVEX_TEXT_COPY_SSE2
// Index of the lowest set bit of a nonzero mask.
inline uint32_t LowestBit(uint32_t mask) {
    static constexpr uint8_t kDeBruijn[32] = {0,  1,  28, 2,  29, 14, 24, 3,  30, 22, 20, 15, 25, 17, 4,  8,
                                              31, 27, 13, 23, 21, 19, 16, 7,  26, 12, 18, 6,  11, 5,  10, 9};
    return kDeBruijn[((mask & (0u - mask)) * 0x077CB531u) >> 27];
}

// Sixteen bytes at a time where SSE2 exists (every x86-64), eight of them per test while they last.
inline uint32_t CopyTextVector(const uint8_t* src, uint32_t limit, char* dst) {
    // As signed bytes the text range is everything above 0x1F: 0x80..0xFF are negative.
    const __m128i lastControl = _mm_set1_epi8(0x1F);
    auto load = [src](uint32_t at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + at)); };
    auto store = [dst](uint32_t at, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + at), v); };
    auto text = [&lastControl](__m128i v) { return _mm_cmpgt_epi8(v, lastControl); };
    uint32_t i = 0;
    // Stored before the test: a failed chunk is copied again by the loop below.
    for (; i + 128 <= limit; i += 128) {
        __m128i all = _mm_set1_epi8(-1);
        for (uint32_t at = i; at < i + 128; at += 16) {
            const __m128i v = load(at);
            store(at, v);
            all = _mm_and_si128(all, text(v));
        }
        if (_mm_movemask_epi8(all) != 0xFFFF) break;
    }
    for (; i + 16 <= limit; i += 16) {
        const __m128i v = load(i);
        // Stored whole: the bytes after the run are overwritten by the next ones or ignored.
        store(i, v);
        const uint32_t other = ~static_cast<uint32_t>(_mm_movemask_epi8(text(v))) & 0xFFFF;
        if (other) return i + LowestBit(other);
    }
    for (; i < limit && IsText(src[i]); ++i) dst[i] = static_cast<char>(src[i]);
    return i;
}
#endif

inline uint32_t CopyText(const uint8_t* src, uint32_t limit, char* dst) {
#ifdef QUORVEX_TEXT_COPY_SSE2
    return CopyTextVector(src, limit, dst);
#else
    return CopyTextWords(src, limit, dst);
#endif
}
}  // namespace text_copy

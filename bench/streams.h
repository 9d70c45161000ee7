// Deterministic inbound streams for the benchmarks: text-heavy, full-screen repaints, control-heavy.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "protocol/screen.h"

namespace bench_streams {
// A fixed-seed generator, so that every run sees the same choices.
class Random {
public:
    uint32_t Next(uint32_t bound) {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state_ >> 33) % bound;
    }
    uint8_t Printable() { return static_cast<uint8_t>(0x20 + Next(0x5F)); }

private:
    uint64_t state_ = 0x5EED;
};

// Printable text in long runs, a line end (CR LF) now and then.
std::vector<uint8_t> TextHeavy(size_t size);
// Whole screens: a clear, then every line written through its cursor address.
std::vector<uint8_t> FullScreens(size_t size);
// Short texts between many control codes, addresses and identification requests.
std::vector<uint8_t> ControlHeavy(size_t size);
// What a control sends in service: a full screen written line by line through cursor addresses,
// then live fields (an address and an 8-character value) changing in place. Text and addresses
// only: no clear, query or exit code, so it can be cut anywhere and repeated. Only the first `rows`
// lines are written, so that a benchmark can watch the others.
std::vector<uint8_t> LiveScreens(size_t size, int rows = screen::Lines);
}  // namespace bench_streams

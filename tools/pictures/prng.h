// Fixed-seed pseudo-random numbers and integer hashing for the picture generator (same values on every run).
#pragma once
#include <cstdint>

namespace pictures {

// SplitMix64 finaliser: a well-mixed 64-bit hash of one value.
constexpr uint64_t Mix64(uint64_t z) {
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

constexpr uint64_t HashCell(int64_t ix, int64_t iy, uint64_t seed) {
    return Mix64(seed ^ Mix64(static_cast<uint64_t>(ix) * 0x9E3779B97F4A7C15ull ^
                              static_cast<uint64_t>(iy) * 0xC2B2AE3D27D4EB4Full));
}

class Prng {
public:
    explicit constexpr Prng(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        state_ += 0x9E3779B97F4A7C15ull;
        return Mix64(state_);
    }
    // Uniform in [0, 1) with 53 bits.
    double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

private:
    uint64_t state_;
};

}  // namespace pictures

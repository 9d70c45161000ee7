// Display scaling: panel pixels at 96 DPI to pixels at another DPI, and the picture sets drawn
// ahead for some scalings. The window, its keys and the picture generator all scale through
// here, so a scaled key rectangle is exactly where the scaled picture has the key.
#pragma once
#include <cstdint>

namespace dpi {
constexpr int32_t Base = 96;
// What the program draws at: a failed query (0) is 96, and past 500 % nobody has a screen.
constexpr int32_t Usable(int32_t dpi) { return dpi < Base ? Base : (dpi > 5 * Base ? 5 * Base : dpi); }

// An edge or a position, rounded half up. A size is the difference of two scaled edges, so that
// things that touch at 96 DPI touch at every scaling.
constexpr int32_t Scaled(int32_t v, int32_t dpi) { return (v * dpi + Base / 2) / Base; }
// A length that must not grow past its room at any scaling (the display font's cell), rounded down.
constexpr int32_t ScaledDown(int32_t v, int32_t dpi) { return v * dpi / Base; }

struct Box {
    int32_t left, top, right, bottom;  // right and bottom outside
};
constexpr Box ScaledBox(const Box& b, int32_t dpi) {
    return {Scaled(b.left, dpi), Scaled(b.top, dpi), Scaled(b.right, dpi), Scaled(b.bottom, dpi)};
}

// The scalings that the panel and key pictures are drawn for, in percent. Set k's bitmap ids are
// the 100 % ids plus k * ArtIdStride.
constexpr int32_t ArtPercents[] = {100, 125, 150, 175, 200};
constexpr int32_t ArtSetCount = sizeof ArtPercents / sizeof ArtPercents[0];
constexpr int32_t ArtIdStride = 1000;
constexpr int32_t ArtSetDpi(int32_t set) { return ArtPercents[set] * Base / 100; }
// The set drawn at the DPI or the nearest above it (the largest past 200 %): shrunk a little a
// picture stays sharp, stretched it blurs.
constexpr int32_t ArtSetFor(int32_t dpi) {
    for (int32_t set = 0; set < ArtSetCount; ++set)
        if (ArtSetDpi(set) >= dpi) return set;
    return ArtSetCount - 1;
}
constexpr int32_t ArtBitmapId(int32_t id100, int32_t set) { return id100 + set * ArtIdStride; }
}  // namespace dpi

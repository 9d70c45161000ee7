// Colour ramps of the shared palette: marble greys, dark greys, the cap colours and the indicator amber.
#include "tools/pictures/palette.h"

namespace pictures {
namespace {

struct RampSegment {
    Rgb from, to;
    int count;  // entries from 'from' towards 'to'; the last segment of a ramp also reaches 'to'
    bool last;
};

constexpr Rgb StaticLow[10] = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},   {128, 128, 0},
                               {0, 0, 128},     {128, 0, 128},   {0, 128, 128}, {192, 192, 192},
                               {192, 220, 192}, {166, 202, 240}};
constexpr Rgb StaticHigh[10] = {{255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},   {0, 255, 0},
                                {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255}, {255, 255, 255}};

// 236 entries: marble 68, dark greys 56, slate 40, green 28, red 28, amber 16.
constexpr RampSegment Ramps[] = {
    {{106, 105, 102}, {240, 239, 235}, 68, true},
    {{2, 2, 3}, {62, 63, 66}, 30, false},
    {{62, 63, 66}, {156, 158, 162}, 26, true},
    {{8, 11, 18}, {34, 47, 64}, 8, false},
    {{34, 47, 64}, {60, 82, 110}, 12, false},
    {{60, 82, 110}, {112, 134, 162}, 10, false},
    {{112, 134, 162}, {236, 238, 240}, 10, true},
    {{4, 16, 8}, {20, 62, 36}, 5, false},
    {{20, 62, 36}, {36, 112, 64}, 9, false},
    {{36, 112, 64}, {84, 162, 108}, 7, false},
    {{84, 162, 108}, {232, 242, 234}, 7, true},
    {{22, 5, 4}, {90, 22, 20}, 5, false},
    {{90, 22, 20}, {156, 40, 36}, 9, false},
    {{156, 40, 36}, {206, 96, 86}, 7, false},
    {{206, 96, 86}, {246, 228, 224}, 7, true},
    {{40, 24, 6}, {122, 72, 14}, 5, false},
    {{122, 72, 14}, {255, 170, 30}, 6, false},
    {{255, 170, 30}, {255, 238, 196}, 5, true},
};

uint8_t Lerp(uint8_t a, uint8_t b, int i, int n) {
    return static_cast<uint8_t>((a * (n - i) + b * i + n / 2) / n);
}

Palette Build() {
    Palette p{};
    int at = 0;
    for (const Rgb& c : StaticLow) p[at++] = c;
    for (const RampSegment& s : Ramps) {
        const int steps = s.last ? s.count - 1 : s.count;
        for (int i = 0; i < s.count; ++i)
            p[at++] = {Lerp(s.from.r, s.to.r, i, steps), Lerp(s.from.g, s.to.g, i, steps),
                       Lerp(s.from.b, s.to.b, i, steps)};
    }
    for (const Rgb& c : StaticHigh) p[at++] = c;
    return p;
}

}  // namespace

const Palette& SharedPalette() {
    static const Palette palette = Build();
    return palette;
}

uint8_t Quantizer::Nearest(int r, int g, int b) {
    const uint32_t key = static_cast<uint32_t>(r << 16 | g << 8 | b);
    const auto found = cache_.find(key);
    if (found != cache_.end()) return found->second;
    const Palette& p = SharedPalette();
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < PaletteSize; ++i) {
        const long dr = r - p[i].r, dg = g - p[i].g, db = b - p[i].b;
        const long distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    cache_.emplace(key, static_cast<uint8_t>(best));
    return static_cast<uint8_t>(best);
}

}  // namespace pictures

// The one 256-colour table shared by the panel, every key picture, and the mapping of drawn colours onto it.
#pragma once
#include <array>
#include <cstdint>
#include <unordered_map>

namespace pictures {

struct Rgb {
    uint8_t r, g, b;
};

constexpr int PaletteSize = 256;
using Palette = std::array<Rgb, PaletteSize>;

// Windows' 20 static colours at 0..9 and 246..255, the generator's colour ramps in between.
const Palette& SharedPalette();

// Nearest palette entry of a colour (weighted RGB distance, lowest index on ties), remembered per colour.
class Quantizer {
public:
    uint8_t Nearest(int r, int g, int b);

private:
    std::unordered_map<uint32_t, uint8_t> cache_;
};

}  // namespace pictures

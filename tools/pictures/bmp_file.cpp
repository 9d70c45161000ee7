// Bitmap file layout: 14-byte file header, 40-byte info header, colour table (blue, green, red, 0), pixel rows.
#include "tools/pictures/bmp_file.h"

namespace pictures {

void PutU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

std::vector<uint8_t> EncodeBmp(const IndexImage& image, const Palette& palette) {
    constexpr uint32_t HeaderBytes = 14 + 40 + PaletteSize * 4;
    constexpr uint32_t PixelsPerMetre = 2835;  // 72 dots per inch
    const uint32_t stride = (static_cast<uint32_t>(image.width) + 3) & ~3u;
    const uint32_t imageBytes = stride * static_cast<uint32_t>(image.height);
    std::vector<uint8_t> out;
    out.reserve(HeaderBytes + imageBytes);
    out.push_back('B');
    out.push_back('M');
    PutU32(out, HeaderBytes + imageBytes);
    PutU32(out, 0);
    PutU32(out, HeaderBytes);
    PutU32(out, 40);
    PutU32(out, static_cast<uint32_t>(image.width));
    PutU32(out, static_cast<uint32_t>(image.height));  // positive: bottom row first
    PutU16(out, 1);
    PutU16(out, 8);
    PutU32(out, 0);  // BI_RGB
    PutU32(out, imageBytes);
    PutU32(out, PixelsPerMetre);
    PutU32(out, PixelsPerMetre);
    PutU32(out, PaletteSize);
    PutU32(out, PaletteSize);
    for (const Rgb& c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) out.push_back(image.At(x, y));
        for (uint32_t pad = static_cast<uint32_t>(image.width); pad < stride; ++pad) out.push_back(0);
    }
    return out;
}

}  // namespace pictures

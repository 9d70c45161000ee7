// Test-side reader of the generated bitmaps, written from the file format alone (not from the generator's writer).
#pragma once
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace pictures_test {

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline uint32_t U16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
inline uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

struct Bitmap {
    std::string problem;  // empty when the file is a well-formed 8-bit bitmap with a 256-entry table
    int32_t width = 0, height = 0;
    std::vector<uint8_t> palette;  // 1024 bytes: blue, green, red, reserved
    std::vector<uint8_t> pixels;   // top row first
    uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline Bitmap ReadBitmap(const std::string& path) {
    Bitmap bmp;
    const std::vector<uint8_t> b = ReadBytes(path);
    if (b.size() < 14 + 40 + 1024) return bmp.problem = "too short", bmp;
    if (b[0] != 'B' || b[1] != 'M') return bmp.problem = "no BM signature", bmp;
    if (U32(b, 2) != b.size()) return bmp.problem = "file size field", bmp;
    if (U32(b, 10) != 14 + 40 + 1024) return bmp.problem = "pixel offset", bmp;
    if (U32(b, 14) != 40) return bmp.problem = "not BITMAPINFOHEADER", bmp;
    bmp.width = static_cast<int32_t>(U32(b, 18));
    bmp.height = static_cast<int32_t>(U32(b, 22));
    if (bmp.width <= 0 || bmp.height <= 0) return bmp.problem = "not bottom-up or empty", bmp;
    if (U16(b, 26) != 1 || U16(b, 28) != 8) return bmp.problem = "not 8 bits per pixel", bmp;
    if (U32(b, 30) != 0) return bmp.problem = "compressed", bmp;
    if (U32(b, 46) != 256) return bmp.problem = "colour count", bmp;
    const uint32_t stride = (static_cast<uint32_t>(bmp.width) + 3) & ~3u;
    if (U32(b, 34) != stride * static_cast<uint32_t>(bmp.height)) return bmp.problem = "image size field", bmp;
    if (b.size() != 14 + 40 + 1024 + stride * static_cast<size_t>(bmp.height)) return bmp.problem = "row padding", bmp;
    bmp.palette.assign(b.begin() + 54, b.begin() + 54 + 1024);
    bmp.pixels.resize(static_cast<size_t>(bmp.width) * bmp.height);
    for (int32_t y = 0; y < bmp.height; ++y)
        for (int32_t x = 0; x < bmp.width; ++x)
            bmp.pixels[static_cast<size_t>(y) * bmp.width + x] = b[1078 + (bmp.height - 1 - y) * stride + x];
    return bmp;
}

}  // namespace pictures_test

// Icon art as character maps over the standard 16-colour table; '.' is transparent (AND mask bit set).
#include "tools/pictures/icon_file.h"

#include <string_view>

#include "tools/pictures/bmp_file.h"

namespace pictures {
namespace {

constexpr uint8_t Standard16[16][3] = {{0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                       {0, 0, 128},   {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                       {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
                                       {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
// Character of each colour of Standard16, in order.
constexpr std::string_view ColourChars = "kmgontpsdRGYBFCw";

constexpr const char* Large[32] = {
    "................................", "................................", "................................",
    "kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk", "kwwwwwwwwwwwwwwwwwwwwwwwwwwwwwdk", "kwddddddddddddddddssssssssssssdk",
    "kwdkkkkkkkkkkkkkkkssssssssssssdk", "kwdkkkkkkkkkkkkkkksBBBsBBBsBBBdk", "kwdkkGGGkGGGkGGGkksnnnsnnnsnnndk",
    "kwdkkkkkkkkkkkkkkksnnnsnnnsnnndk", "kwdkkkkkkkkkkkkkkkssssssssssssdk", "kwdkkGGGkGGGkkkkkksBBBsBBBsBBBdk",
    "kwdkkkkkkkkkkkkkkksnnnsnnnsnnndk", "kwdkkkkkkkkkkkkkkksnnnsnnnsnnndk", "kwdkkwwwkwwwkwwkkkssssssssssssdk",
    "kwdkkkkkkkkkkkkkkksBBBsBBBsBBBdk", "kwdkkkkkkkkkkkkkkksnnnsnnnsnnndk", "kwdkkGGGkGGkkkkkkksnnnsnnnsnnndk",
    "kwdkkkkkkkkkkkkkkkssssssssssssdk", "kwdkkkkkkkkkkkkkkksBBBsBBBsBBBdk", "kwdkkGGGkGGGkGkkkksnnnsnnnsnnndk",
    "kwdkkkkkkkkkkkkkkksnnnsnnnsnnndk", "kwdkkkkkkkkkkkkkkkssssssssssssdk", "kwdkkGGGkGkkkkkkkksRRRsBBBsGGGdk",
    "kwdkkkkkkkkkkkkkkksmmmsnnnsgggdk", "kwdkkkkkkkkkkkkkkksmmmsnnnsgggdk", "kwssssssssssssssssssssssssssssdk",
    "kddddddddddddddddddddddddddddddk", "kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk", "................................",
    "................................", "................................",
};

constexpr const char* Small[16] = {
    "................", "................", "kkkkkkkkkkkkkkkk", "kwwwwwwwwwwwwwdk",
    "kwkkkkkkksBBsBBk", "kwkGGkGGksnnsnnk", "kwkkkkkkksssssdk", "kwkGGkGkksBBsBBk",
    "kwkkkkkkksnnsnnk", "kwkGGkGGksssssdk", "kwkkkkkkksRRsGGk", "kwkkkkkkksmmsggk",
    "kddddddddddddddk", "kkkkkkkkkkkkkkkk", "................", "................",
};

uint8_t IndexOf(char c) {
    const size_t at = ColourChars.find(c);
    return at == std::string_view::npos ? 0 : static_cast<uint8_t>(at);
}

// One icon image: info header with doubled height, colour table, 4-bit colour rows, 1-bit mask rows.
std::vector<uint8_t> Image(const char* const* rows, uint32_t size) {
    const uint32_t colourStride = (size / 2 + 3) & ~3u, maskStride = ((size + 31) / 32) * 4;
    std::vector<uint8_t> out;
    PutU32(out, 40);
    PutU32(out, size);
    PutU32(out, size * 2);
    PutU16(out, 1);
    PutU16(out, 4);
    PutU32(out, 0);
    PutU32(out, (colourStride + maskStride) * size);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 16);
    PutU32(out, 0);
    for (const auto& c : Standard16) {
        out.push_back(c[2]);
        out.push_back(c[1]);
        out.push_back(c[0]);
        out.push_back(0);
    }
    for (int y = static_cast<int>(size) - 1; y >= 0; --y) {
        std::vector<uint8_t> row(colourStride, 0);
        for (uint32_t x = 0; x < size; ++x) {
            const uint8_t index = rows[y][x] == '.' ? 0 : IndexOf(rows[y][x]);
            row[x / 2] |= static_cast<uint8_t>(x % 2 ? index : index << 4);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = static_cast<int>(size) - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskStride, 0);
        for (uint32_t x = 0; x < size; ++x)
            if (rows[y][x] == '.') row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

std::vector<uint8_t> EncodeIcon() {
    const std::vector<uint8_t> images[2] = {Image(Large, 32), Image(Small, 16)};
    std::vector<uint8_t> out;
    PutU16(out, 0);
    PutU16(out, 1);  // icon
    PutU16(out, 2);
    uint32_t offset = 6 + 2 * 16;
    const uint8_t sizes[2] = {32, 16};
    for (int i = 0; i < 2; ++i) {
        out.push_back(sizes[i]);
        out.push_back(sizes[i]);
        out.push_back(16);  // colours
        out.push_back(0);
        PutU16(out, 1);
        PutU16(out, 4);
        PutU32(out, static_cast<uint32_t>(images[i].size()));
        PutU32(out, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
    return out;
}

}  // namespace pictures

// PNG layout: signature, IHDR, one IDAT, IEND; each chunk big-endian length, type, data, CRC.
#include "tools/pictures/png_file.h"

#include <zlib.h>

#include <cmath>

namespace pictures {
namespace {

void PutU32Big(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char (&type)[5], const std::vector<uint8_t>& data) {
    PutU32Big(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutU32Big(out, static_cast<uint32_t>(crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

uint8_t Channel(double v) {
    const double rounded = std::floor(v + 0.5);
    return static_cast<uint8_t>(rounded < 0 ? 0 : rounded > 255 ? 255 : rounded);
}

}  // namespace

std::vector<uint8_t> EncodePng(const Canvas& canvas) {
    std::vector<uint8_t> header;
    PutU32Big(header, static_cast<uint32_t>(canvas.Width()));
    PutU32Big(header, static_cast<uint32_t>(canvas.Height()));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, adaptive filters, no interlace
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(canvas.Height()) * (1 + 3 * canvas.Width()));
    for (int y = 0; y < canvas.Height(); ++y) {
        raw.push_back(0);  // this row unfiltered
        for (int x = 0; x < canvas.Width(); ++x) {
            const Colour& c = canvas.At(x, y);
            raw.insert(raw.end(), {Channel(c.r), Channel(c.g), Channel(c.b)});
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
        return {};
    packed.resize(packedSize);
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    return out;
}

}  // namespace pictures

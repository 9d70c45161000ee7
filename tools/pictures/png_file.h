// Encoding of a canvas as a PNG file: 8-bit RGB, rows unfiltered, zlib at its best compression.
#pragma once
#include <cstdint>
#include <vector>

#include "tools/pictures/canvas.h"

namespace pictures {

// Each channel rounded to 0..255, so a canvas made from palette colours keeps them exactly;
// empty if zlib fails.
std::vector<uint8_t> EncodePng(const Canvas& canvas);

}  // namespace pictures

// Encoding of an indexed image as a Windows bitmap file: BITMAPINFOHEADER, 256-entry colour table, bottom-up rows.
#pragma once
#include <cstdint>
#include <vector>

#include "tools/pictures/canvas.h"
#include "tools/pictures/palette.h"

namespace pictures {

std::vector<uint8_t> EncodeBmp(const IndexImage& image, const Palette& palette);

// Little-endian appends shared with the icon encoder.
void PutU16(std::vector<uint8_t>& out, uint32_t v);
void PutU32(std::vector<uint8_t>& out, uint32_t v);

}  // namespace pictures

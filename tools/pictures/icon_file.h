// The program icon: a small panel in 16 colours at 32 x 32 and 16 x 16, encoded as an icon file.
#pragma once
#include <cstdint>
#include <vector>

namespace pictures {

std::vector<uint8_t> EncodeIcon();

}  // namespace pictures

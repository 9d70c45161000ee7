// The panel's size in client pixels: the window fits its client area to it, the display's lines
// and the keys lie on it, and the picture generator draws it.
#pragma once
#include <cstdint>

namespace panel {
constexpr int32_t Width = 630;
constexpr int32_t Height = 384;
}  // namespace panel

// The display's size in character cells: what the display keeps, the window lays out, the
// tools draw and check, and the dissector places text by.
#pragma once
#include <cstdint>

namespace screen {
constexpr int32_t Lines = 20;
constexpr int32_t Columns = 40;
}  // namespace screen

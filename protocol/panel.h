// The panel's size in client pixels and its picture's resource id: the window fits its client
// area to it and loads the picture, the display's lines and the keys lie on it, and the picture
// generator draws it and writes the resource script that numbers it.
#pragma once
#include <cstdint>

namespace panel {
constexpr int32_t Width = 630;
constexpr int32_t Height = 384;
// The picture at 100 %; the keys' pictures follow it (KeyTable).
constexpr int32_t BitmapId = 174;
}  // namespace panel

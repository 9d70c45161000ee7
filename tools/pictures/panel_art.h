// The whole set of pictures: the panel with every key up, and each key's up and down picture cut to its rectangle.
#pragma once
#include <array>
#include <vector>

#include "tools/pictures/canvas.h"
#include "tools/pictures/key_layout.h"

namespace pictures {

struct Pictures {
    IndexImage panel;
    std::array<IndexImage, KeyCount> normal, pressed;  // in key table order
};

// Everything printed on the marble (legends, name plate, screws), each with the box it occupies in panel units.
std::vector<Box> PrintedBoxes();

// Drawn at a DPI: the panel Scaled(630) x Scaled(384), each key cut at its scaled box.
Pictures MakePictures(int32_t dpi = dpi::Base);

}  // namespace pictures

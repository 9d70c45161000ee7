// Stone textures: the light grey marble of the panel and the dark marble behind the display text.
#pragma once
#include "tools/pictures/canvas.h"

namespace pictures {

// Colour of the panel marble at a pixel (coordinates of the whole panel).
Colour PanelMarble(double x, double y);
// Colour of the dark display marble at a pixel.
Colour DisplayMarble(double x, double y);

}  // namespace pictures

// Drawing of one key as it sits in the panel: the recessed collar cut into the marble, the well and the cap.
#pragma once
#include "tools/pictures/canvas.h"
#include "tools/pictures/key_layout.h"
#include "tools/pictures/shapes.h"

namespace pictures {

// The collar's outer edge: everything a key's two states may differ in lies inside it.
RoundRect CollarOf(const KeySpec& key);
// Draws the key over what the canvas holds under its scaled rectangle, touching only pixels inside the collar.
void DrawKey(Canvas& canvas, const KeySpec& key, bool pressed);

}  // namespace pictures

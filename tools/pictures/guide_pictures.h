// The operator's guide's pictures, drawn from the same pictures as res/: the panel with each key's
// name on it, FAST and SLOW with their lamps unlit and each lit, and the status bar's stall text.
#pragma once
#include <string>
#include <vector>

#include "tools/pictures/picture_files.h"

namespace pictures {

// The number of waiting commands the stall picture shows.
constexpr int StallPictureCommands = 12;

// The text of a string-table entry of a resource script (the line `ID "TEXT"`, escapes not
// read); empty when the script has none.
std::string ResourceText(const std::string& script, unsigned id);

// panel-keys.png, lamps.png and stall.png (the stall format's first %d filled in); empty when a
// text has a character without a glyph.
std::vector<PictureFile> MakeGuidePictures(const std::string& stallFormat);

}  // namespace pictures

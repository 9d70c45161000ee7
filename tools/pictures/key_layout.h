// Where the 25 keys sit on the panel, how each is drawn and what is printed under it.
#pragma once
#include <cstdint>

#include "support/dpi_scale.h"
#include "protocol/key_table.h"
#include "protocol/panel.h"

namespace pictures {

enum class CapColour { Slate, Charcoal, Green, Red };

struct KeySpec {
    int32_t id;
    int32_t x, y, width, height;
    int32_t capShift;  // the cap assembly moved right within the rectangle, away from the display window
    CapColour colour;
    const char* face;   // glyph on the cap
    const char* label;  // printed under the key; empty for none
    bool indicator;     // latch key with a lamp in its cap
};

constexpr int32_t KeyCount = KeyTable::Count;
constexpr int32_t FirstKeyId = KeyTable::FirstId;
constexpr int32_t NormalBitmapOffset = KeyTable::FirstId - KeyTable::NormalBitmapId(KeyTable::FirstId);
constexpr int32_t PressedBitmapOffset = KeyTable::FirstId - KeyTable::PressedBitmapId(KeyTable::FirstId);
constexpr int32_t PanelBitmapId = panel::BitmapId;

// Where the key sits comes from the key table; how it looks is the pictures' own.
constexpr KeySpec Key(int32_t id, int32_t capShift, CapColour colour, const char* face, const char* label,
                      bool indicator) {
    const KeyRow& k = KeyTable::Row(id);
    return {id, k.x, k.y, k.width, k.height, capShift, colour, face, label, indicator};
}

constexpr KeySpec Keys[KeyCount] = {
    Key(KeyId::LineUp, 2, CapColour::Charcoal, "line-up", "LINE UP", false),
    Key(KeyId::LineDown, 2, CapColour::Charcoal, "line-down", "LINE DOWN", false),
    Key(KeyId::Right, 0, CapColour::Charcoal, "cursor-right", "", false),
    Key(KeyId::Left, 0, CapColour::Charcoal, "cursor-left", "", false),
    Key(KeyId::Up, 0, CapColour::Charcoal, "cursor-up", "", false),
    Key(KeyId::Down, 0, CapColour::Charcoal, "cursor-down", "", false),
    Key(KeyId::AdjustUp, 0, CapColour::Charcoal, "adjust-up", "", false),
    Key(KeyId::AdjustDown, 0, CapColour::Charcoal, "adjust-down", "", false),
    Key(KeyId::Fast, 0, CapColour::Charcoal, "fast", "FAST", true),
    Key(KeyId::Slow, 0, CapColour::Charcoal, "slow", "SLOW", true),
    Key(KeyId::Digit0, 0, CapColour::Slate, "0", "NO", false),
    Key(KeyId::Digit1, 0, CapColour::Slate, "1", "YES", false),
    Key(KeyId::Digit2, 0, CapColour::Slate, "2", "", false),
    Key(KeyId::Digit3, 0, CapColour::Slate, "3", "", false),
    Key(KeyId::Digit4, 0, CapColour::Slate, "4", "", false),
    Key(KeyId::Digit5, 0, CapColour::Slate, "5", "", false),
    Key(KeyId::Digit6, 0, CapColour::Slate, "6", "", false),
    Key(KeyId::Digit7, 0, CapColour::Slate, "7", "PREV", false),
    Key(KeyId::Digit8, 0, CapColour::Slate, "8", "NEXT", false),
    Key(KeyId::Digit9, 0, CapColour::Slate, "9", "", false),
    Key(KeyId::Neg, 0, CapColour::Slate, "-", "NEG", false),
    Key(KeyId::Point, 0, CapColour::Slate, ".", "", false),
    Key(KeyId::Serv, 0, CapColour::Slate, ":", "SERV/DEBUG", false),
    Key(KeyId::Enter, 0, CapColour::Green, "enter", "ENTER", false),
    Key(KeyId::Exit, 0, CapColour::Red, "exit", "EXIT", false),
};

// Boxes in panel units, scaled by their edges like the window's.
using Box = dpi::Box;
// The display window's black outline, outer edge (right and bottom exclusive).
constexpr Box DisplayOutline = {13, 13, 298, 315};

constexpr Box KeyBox(const KeySpec& k) { return {k.x, k.y, k.x + k.width, k.y + k.height}; }
constexpr bool Overlaps(const Box& a, const Box& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace pictures

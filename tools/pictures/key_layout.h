// Where the 25 keys sit on the panel, how each is drawn and what is printed under it.
#pragma once
#include <cstdint>

#include "keypad/key_table.h"

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
constexpr int32_t PanelBitmapId = 174;

// Where the key sits comes from the key table; how it looks is the pictures' own.
constexpr KeySpec Key(int32_t id, int32_t capShift, CapColour colour, const char* face, const char* label,
                      bool indicator) {
    const int32_t i = KeyTable::Index(id);
    return {id, KeyTable::X[i], KeyTable::Y[i], KeyTable::Width[i], KeyTable::Height[i], capShift, colour, face, label,
            indicator};
}

constexpr KeySpec Keys[KeyCount] = {
    Key(2000, 2, CapColour::Charcoal, "line-up", "LINE UP", false),
    Key(2001, 2, CapColour::Charcoal, "line-down", "LINE DOWN", false),
    Key(2002, 0, CapColour::Charcoal, "cursor-right", "", false),
    Key(2003, 0, CapColour::Charcoal, "cursor-left", "", false),
    Key(2004, 0, CapColour::Charcoal, "cursor-up", "", false),
    Key(2005, 0, CapColour::Charcoal, "cursor-down", "", false),
    Key(2006, 0, CapColour::Charcoal, "adjust-up", "", false),
    Key(2007, 0, CapColour::Charcoal, "adjust-down", "", false),
    Key(2008, 0, CapColour::Charcoal, "fast", "FAST", true),
    Key(2009, 0, CapColour::Charcoal, "slow", "SLOW", true),
    Key(2010, 0, CapColour::Slate, "0", "NO", false),
    Key(2011, 0, CapColour::Slate, "1", "YES", false),
    Key(2012, 0, CapColour::Slate, "2", "", false),
    Key(2013, 0, CapColour::Slate, "3", "", false),
    Key(2014, 0, CapColour::Slate, "4", "", false),
    Key(2015, 0, CapColour::Slate, "5", "", false),
    Key(2016, 0, CapColour::Slate, "6", "", false),
    Key(2017, 0, CapColour::Slate, "7", "PREV", false),
    Key(2018, 0, CapColour::Slate, "8", "NEXT", false),
    Key(2019, 0, CapColour::Slate, "9", "", false),
    Key(2020, 0, CapColour::Slate, "-", "NEG", false),
    Key(2021, 0, CapColour::Slate, ".", "", false),
    Key(2022, 0, CapColour::Slate, ":", "SERV/DEBUG", false),
    Key(2023, 0, CapColour::Green, "enter", "ENTER", false),
    Key(2024, 0, CapColour::Red, "exit", "EXIT", false),
};

// The display window's black outline, outer edge (right and bottom exclusive).
struct Box {
    int32_t left, top, right, bottom;
};
constexpr Box DisplayOutline = {13, 13, 298, 315};
constexpr int32_t PanelWidth = 630;
constexpr int32_t PanelHeight = 384;

constexpr Box KeyBox(const KeySpec& k) { return {k.x, k.y, k.x + k.width, k.y + k.height}; }
constexpr bool Overlaps(const Box& a, const Box& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace pictures

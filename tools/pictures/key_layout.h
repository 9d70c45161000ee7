// Where the 25 keys sit on the panel, how each is drawn and what is printed under it.
#pragma once
#include <cstdint>

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

constexpr int32_t KeyCount = 25;
constexpr int32_t FirstKeyId = 2000;
constexpr int32_t NormalBitmapOffset = 1825;  // bitmap id = key id - offset
constexpr int32_t PressedBitmapOffset = 1800;
constexpr int32_t PanelBitmapId = 174;

constexpr KeySpec Keys[KeyCount] = {
    {2000, 297, 78, 52, 52, 2, CapColour::Charcoal, "line-up", "LINE UP", false},
    {2001, 297, 243, 52, 52, 2, CapColour::Charcoal, "line-down", "LINE DOWN", false},
    {2002, 395, 165, 46, 44, 0, CapColour::Charcoal, "cursor-right", "", false},
    {2003, 309, 165, 46, 44, 0, CapColour::Charcoal, "cursor-left", "", false},
    {2004, 353, 121, 44, 46, 0, CapColour::Charcoal, "cursor-up", "", false},
    {2005, 353, 207, 44, 46, 0, CapColour::Charcoal, "cursor-down", "", false},
    {2006, 176, 318, 66, 52, 0, CapColour::Charcoal, "adjust-up", "", false},
    {2007, 243, 318, 66, 52, 0, CapColour::Charcoal, "adjust-down", "", false},
    {2008, 10, 318, 52, 52, 0, CapColour::Charcoal, "fast", "FAST", true},
    {2009, 65, 318, 52, 52, 0, CapColour::Charcoal, "slow", "SLOW", true},
    {2010, 443, 318, 52, 52, 0, CapColour::Slate, "0", "NO", false},
    {2011, 443, 256, 52, 52, 0, CapColour::Slate, "1", "YES", false},
    {2012, 501, 256, 52, 52, 0, CapColour::Slate, "2", "", false},
    {2013, 560, 256, 52, 52, 0, CapColour::Slate, "3", "", false},
    {2014, 443, 192, 52, 52, 0, CapColour::Slate, "4", "", false},
    {2015, 501, 192, 52, 52, 0, CapColour::Slate, "5", "", false},
    {2016, 560, 192, 52, 52, 0, CapColour::Slate, "6", "", false},
    {2017, 443, 128, 52, 52, 0, CapColour::Slate, "7", "PREV", false},
    {2018, 501, 128, 52, 52, 0, CapColour::Slate, "8", "NEXT", false},
    {2019, 560, 128, 52, 52, 0, CapColour::Slate, "9", "", false},
    {2020, 386, 318, 52, 52, 0, CapColour::Slate, "-", "NEG", false},
    {2021, 501, 318, 52, 52, 0, CapColour::Slate, ".", "", false},
    {2022, 386, 256, 52, 52, 0, CapColour::Slate, ":", "SERV/DEBUG", false},
    {2023, 560, 318, 52, 52, 0, CapColour::Green, "enter", "ENTER", false},
    {2024, 328, 318, 52, 52, 0, CapColour::Red, "exit", "EXIT", false},
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

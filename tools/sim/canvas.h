// A 20 x 40 picture of the panel's display and its encoding as display stream bytes.
#pragma once
#include <string>
#include <string_view>

#include "protocol/inbound_table.h"
#include "protocol/screen.h"

class Canvas {
public:
    Canvas() { Clear(); }
    void Clear();
    // Writes text from (row, column); what falls outside the display is cut off.
    void Put(int row, int column, std::string_view text);
    // Writes text padded with blanks or cut to exactly `width` cells.
    void PutField(int row, int column, int width, std::string_view text);
    char At(int row, int column) const { return cells_[row][column]; }
    std::string Line(int row) const { return std::string(cells_[row], screen::Columns); }
    bool operator==(const Canvas& other) const;
    bool operator!=(const Canvas& other) const { return !(*this == other); }

private:
    char cells_[screen::Lines][screen::Columns];
};

// Bytes that turn `shown` into `wanted`: a cursor address and the new text for each changed
// run of cells (runs a few cells apart are joined). Empty when nothing changed.
std::string EncodeChanges(const Canvas& shown, const Canvas& wanted);

// Bytes that draw `wanted` from scratch: a screen clear, then every non-blank run.
std::string EncodeScreen(const Canvas& wanted);

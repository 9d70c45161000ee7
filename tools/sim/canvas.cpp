// Canvas cells and the diff that keeps the display stream short.
#include "tools/sim/canvas.h"

#include <algorithm>
#include <cstring>

namespace {
// Joining two runs costs the cells between them; a new address costs two bytes.
constexpr int kJoinGap = 2;
}  // namespace

void Canvas::Clear() { std::memset(cells_, ' ', sizeof(cells_)); }

void Canvas::Put(int row, int column, std::string_view text) {
    if (row < 0 || row >= screen::Lines) return;
    for (char c : text) {
        if (column >= 0 && column < screen::Columns) cells_[row][column] = (c >= 0x20 && c <= 0x7E) ? c : ' ';
        ++column;
    }
}

void Canvas::PutField(int row, int column, int width, std::string_view text) {
    std::string cell(static_cast<size_t>(width), ' ');
    cell.replace(0, std::min(text.size(), cell.size()), text.substr(0, cell.size()));
    Put(row, column, cell);
}

bool Canvas::operator==(const Canvas& other) const { return std::memcmp(cells_, other.cells_, sizeof(cells_)) == 0; }

std::string EncodeChanges(const Canvas& shown, const Canvas& wanted) {
    std::string out;
    for (int row = 0; row < screen::Lines; ++row) {
        int column = 0;
        while (column < screen::Columns) {
            if (shown.At(row, column) == wanted.At(row, column)) {
                ++column;
                continue;
            }
            int start = column;
            int end = column + 1;  // one past the last changed cell of the run
            for (int c = end; c < screen::Columns && c <= end + kJoinGap; ++c) {
                if (shown.At(row, c) != wanted.At(row, c)) end = c + 1;
            }
            out += inbound::Address(row, start);
            for (int c = start; c < end; ++c) out += wanted.At(row, c);
            column = end;
        }
    }
    return out;
}

std::string EncodeScreen(const Canvas& wanted) {
    return std::string(1, static_cast<char>(inbound::ClearScreen)) + EncodeChanges(Canvas(), wanted);
}

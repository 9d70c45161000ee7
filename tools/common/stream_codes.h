// Byte values of the display stream that the simulator writes to the panel.
#pragma once
#include <string>

namespace stream {
constexpr int Rows = 20;
constexpr int Columns = 40;
constexpr char ClearScreen = 0x01;
constexpr char ExitNotice = 0x16;
constexpr char Identify = 0x1A;
constexpr char AddressFlag = static_cast<char>(0x80);
constexpr int MaxAddressRow = 63;
constexpr int MaxAddressColumn = 127;

// The two-byte cursor address; row 0..63 and column 0..127 are encodable in this form.
inline std::string Address(int row, int column) {
    return {static_cast<char>(0x80 | row), static_cast<char>(0x80 | column)};
}
}  // namespace stream

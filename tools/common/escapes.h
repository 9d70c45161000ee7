// Escaped byte text of test scripts and console logs: \n \r \t \xHH \\ and \@ROW,COL.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// The value of a hex digit of either case; -1 for any other character.
int HexValue(char c);

// Turns escaped text into bytes. Returns 0 or a text id; on failure `errorAt` gets the
// offset of the offending backslash.
unsigned DecodeEscapes(std::string_view text, std::string& bytes, size_t* errorAt = nullptr);

// Shows bytes readably with the same escapes, so that decoding the result gives the bytes back.
// A lead byte 0x80..0xBF followed by any byte from 0x80 is shown as one cursor address.
std::string ShowBytes(std::string_view bytes);

// Text for a message or a report: bytes outside the printable ASCII range, but for line ends,
// shown as \xHH, so that a binary file never reaches a terminal or a report raw.
std::string PrintableText(std::string_view text);

// Bounded formatting of a report message into its scratch piece.
#pragma once
#include <cstddef>

namespace report_format {

// The arguments a box offers its format, in this order: the object name ("%s"), then the
// object-name id and the text id ("%u" each). A box offers the first `count` of them.
constexpr int OffersNothing = 0;
constexpr int OffersObjectName = 1;
constexpr int OffersNameAndIds = 3;

// True when every conversion of the format takes the next offered argument with its own
// type ("%%" aside), so that formatting reads no argument that is not there.
bool Accepts(const char* format, int offered);

// Formats into piece[0, size): a result that does not fit is cut, always terminated. A
// format that Accepts refuses is copied as it stands (cut the same way). A null object name
// is formatted as the empty text. Returns the length written.
size_t Format(char* piece, size_t size, const char* format, int offered, const char* objectName,
              unsigned objectNameId, unsigned textId);

}  // namespace report_format

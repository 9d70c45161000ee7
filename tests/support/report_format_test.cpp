// Report formatting: the argument order, cutting to the piece, and formats that ask for
// arguments their box does not offer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/report_format.h"
#include "support/text_ids.h"

namespace {
using report_format::OffersNameAndIds;
using report_format::OffersNothing;
using report_format::OffersObjectName;

constexpr char kOutOfRange[] =
    "A member function of the '%s' object was passed a parameter\nwhich is out of range.  Please write down "
    "the following numbers\nand contact Halvorne Orvik:    [ %u, %u ]";

// Formats into a 255-byte piece inside a larger block and checks that nothing past it changed.
std::string FormatInPiece(const char* format, int offered, const char* name, unsigned nameId, unsigned textId,
                          size_t pieceSize = 255) {
    std::string block(pieceSize + 64, '\x7f');
    const size_t length = report_format::Format(&block[0], pieceSize, format, offered, name, nameId, textId);
    for (size_t i = pieceSize; i < block.size(); ++i) {
        if (block[i] != '\x7f') {
            ADD_FAILURE() << "wrote past the piece at " << i;
            break;
        }
    }
    const std::string result(block.c_str());
    EXPECT_EQ(result.size(), length);
    return result;
}

TEST(ReportFormat, FormatsTheNameThenTheObjectNameIdThenTheTextId) {
    struct Row {
        const char* format;
        int offered;
        const char* name;
        const char* expected;
    } rows[] = {
        {kOutOfRange, OffersNameAndIds, "System",
         "A member function of the 'System' object was passed a parameter\nwhich is out of range.  Please write "
         "down the following numbers\nand contact Halvorne Orvik:    [ 61001, 62009 ]"},
        {"%s %u %u", OffersNameAndIds, "Frame", "Frame 61001 62009"},
        {"[%5u|%-6s]", OffersNameAndIds, "ab", "[%5u|%-6s]"},  // order is fixed: %s first
        {"[%-6s|%5u]", OffersNameAndIds, "ab", "[ab    |61001]"},
        {"100%% %s", OffersObjectName, "System", "100% System"},
        // Formats without placeholders ignore what is offered.
        {"Communications error, control is no longer available.", OffersNameAndIds, "Frame",
         "Communications error, control is no longer available."},
        {"Insufficient memory to perform operation.", OffersObjectName, "Frame",
         "Insufficient memory to perform operation."},
        {"%s object", OffersObjectName, nullptr, " object"},
        // Asking for more than the box offers, or for another type: shown as it stands.
        {kOutOfRange, OffersObjectName, "System", kOutOfRange},
        {"%s %u %u %u", OffersNameAndIds, "System", "%s %u %u %u"},
        {"%d", OffersNameAndIds, "System", "%d"},
        {"%u %s", OffersNameAndIds, "System", "%u %s"},
        {"%*s", OffersNameAndIds, "System", "%*s"},
        {"%ls", OffersNameAndIds, "System", "%ls"},
        {"%n", OffersNameAndIds, "System", "%n"},
        {"tail %", OffersNameAndIds, "System", "tail %"},
        {"%s", OffersNothing, "System", "%s"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FormatInPiece(row.format, row.offered, row.name, 61001, text_id::OutOfRange), row.expected) << row.format;
}

TEST(ReportFormat, CutsALongResultToThePieceAndTerminatesIt) {
    const std::string longName(400, 'N');
    struct Row {
        const char* format;
        int offered;
        size_t pieceSize;
        std::string expected;
    } rows[] = {
        {"%s", OffersObjectName, 255, std::string(254, 'N')},
        {"ab%s", OffersObjectName, 255, "ab" + std::string(252, 'N')},
        {"%s", OffersObjectName, 1, ""},
        {"%s", OffersObjectName, 2, "N"},
        // A refused format is cut the same way.
        {"%d", OffersNameAndIds, 2, "%"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FormatInPiece(row.format, row.offered, longName.c_str(), 1, 2, row.pieceSize), row.expected)
            << row.format << " in " << row.pieceSize;
    const std::string longFormat(300, 'F');
    EXPECT_EQ(FormatInPiece(longFormat.c_str(), OffersNothing, "x", 1, 2), std::string(254, 'F'));
    char untouched = '\x7f';
    EXPECT_EQ(report_format::Format(&untouched, 0, "%s", OffersObjectName, "x", 1, 2), 0u);
    EXPECT_EQ(untouched, '\x7f');
}
}  // namespace

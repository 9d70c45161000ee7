// Escaped script text: decoding, its errors, and the readable form that decodes back.
#include <gtest/gtest.h>

#include <string>

#include "tools/common/escapes.h"
#include "tools/common/texts.h"

namespace {
using namespace std::string_literals;

TEST(SimEscapes, DecodesEveryEscape) {
    struct Case {
        const char* text;
        std::string bytes;
    };
    const Case cases[] = {
        {"plain text", "plain text"},
        {"a\\nb\\rc\\td", "a\nb\rc\td"},
        {"\\\\", "\\"},
        {"\\x00\\x1a\\x1A\\xff", "\x00\x1a\x1a\xff"s},
        {"\\@0,0", "\x80\x80"},
        {"\\@5,10X", "\x85\x8aX"},
        {"\\@19,39", "\x93\xa7"},
        {"\\@63,127", "\xbf\xff"},
        {"p12\\n", "p12\n"},
        {"", ""},
    };
    for (const Case& c : cases) {
        std::string bytes;
        EXPECT_EQ(DecodeEscapes(c.text, bytes), 0u) << c.text;
        EXPECT_EQ(bytes, c.bytes) << c.text;
    }
}

TEST(SimEscapes, ReportsTheOffendingBackslash) {
    struct Case {
        const char* text;
        unsigned id;
        size_t at;
    };
    const Case cases[] = {
        {"ab\\q", tool_text::UnknownEscape, 2},
        {"\\x4", tool_text::ShortHexEscape, 0},
        {"x\\xG1", tool_text::ShortHexEscape, 1},
        {"abc\\", tool_text::TrailingBackslash, 3},
        {"\\@5", tool_text::BadAddressEscape, 0},
        {"\\@5,", tool_text::BadAddressEscape, 0},
        {"\\@,5", tool_text::BadAddressEscape, 0},
        {"\\@1000,5", tool_text::BadAddressEscape, 0},
        {"ok\\@64,0", tool_text::AddressOutOfRange, 2},
        {"\\@0,128", tool_text::AddressOutOfRange, 0},
    };
    for (const Case& c : cases) {
        std::string bytes;
        size_t at = 99;
        EXPECT_EQ(DecodeEscapes(c.text, bytes, &at), c.id) << c.text;
        EXPECT_EQ(at, c.at) << c.text;
        EXPECT_STRNE(tool_text::Text(c.id), "unknown error");
    }
}

TEST(SimEscapes, ShowsBytesReadably) {
    struct Case {
        std::string bytes;
        const char* shown;
    };
    const Case cases[] = {
        {"PPK", "PPK"},
        {"p1\n", "p1\\n"},
        {"\x01\x16\x1a", "\\x01\\x16\\x1A"},
        {"a\\b", "a\\\\b"},
        {"\x85\x8aHi", "\\@5,10Hi"},
        {"\x85\x8a" "5", "\\@5,10\\x35"},  // a digit would extend the column
        {"\xc1\x85", "\\xC1\\x85"},         // the second address form stays in hex
        {"\x85", "\\x85"},                  // a lone lead byte
        {"\x7f\x00"s, "\\x7F\\x00"},
    };
    for (const Case& c : cases) EXPECT_EQ(ShowBytes(c.bytes), c.shown);
}

TEST(SimEscapes, ShownBytesDecodeBackForEveryByteValue) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    for (int b = 0x80; b < 0xC0; ++b) all += std::string{static_cast<char>(b), static_cast<char>(0x80 + (b & 0x3F)), '7'};
    std::string back;
    ASSERT_EQ(DecodeEscapes(ShowBytes(all), back), 0u);
    EXPECT_EQ(back, all);
}
}  // namespace

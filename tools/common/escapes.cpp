// Escape decoding for scripts and the matching readable form for messages.
#include "tools/common/escapes.h"

#include "protocol/inbound_table.h"
#include "tools/common/texts.h"

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

namespace {
struct SimpleEscape {
    char letter;
    char byte;
};
constexpr SimpleEscape kSimple[] = {{'n', '\n'}, {'r', '\r'}, {'t', '\t'}, {'\\', '\\'}};


// Reads a decimal number of 1 to 3 digits at `pos`; -1 when there is none or a longer one.
int ReadSmallNumber(std::string_view text, size_t& pos) {
    int value = -1;
    size_t digits = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 4) {
        value = (value < 0 ? 0 : value * 10) + (text[pos] - '0');
        ++pos;
        ++digits;
    }
    return digits == 4 ? -1 : value;
}

unsigned DecodeAddress(std::string_view text, size_t& pos, std::string& bytes) {
    int row = ReadSmallNumber(text, pos);
    if (row < 0 || pos >= text.size() || text[pos] != ',') return tool_text::BadAddressEscape;
    ++pos;
    int column = ReadSmallNumber(text, pos);
    if (column < 0) return tool_text::BadAddressEscape;
    if (row > inbound::MaxAddressRow || column > inbound::MaxAddressColumn) return tool_text::AddressOutOfRange;
    bytes += inbound::Address(row, column);
    return tool_text::Ok;
}

unsigned DecodeOne(std::string_view text, size_t& pos, std::string& bytes) {
    if (pos + 1 >= text.size()) return tool_text::TrailingBackslash;
    char letter = text[pos + 1];
    pos += 2;
    for (const SimpleEscape& e : kSimple) {
        if (e.letter == letter) {
            bytes += e.byte;
            return tool_text::Ok;
        }
    }
    if (letter == 'x') {
        int high = pos < text.size() ? HexValue(text[pos]) : -1;
        int low = pos + 1 < text.size() ? HexValue(text[pos + 1]) : -1;
        if (high < 0 || low < 0) return tool_text::ShortHexEscape;
        bytes += static_cast<char>(high * 16 + low);
        pos += 2;
        return tool_text::Ok;
    }
    if (letter == '@') return DecodeAddress(text, pos, bytes);
    return tool_text::UnknownEscape;
}
}  // namespace

unsigned DecodeEscapes(std::string_view text, std::string& bytes, size_t* errorAt) {
    bytes.clear();
    size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] != '\\') {
            bytes += text[pos++];
            continue;
        }
        size_t start = pos;
        unsigned id = DecodeOne(text, pos, bytes);
        if (id != tool_text::Ok) {
            if (errorAt) *errorAt = start;
            return id;
        }
    }
    return tool_text::Ok;
}

namespace {
constexpr char kHex[] = "0123456789ABCDEF";
}  // namespace

std::string PrintableText(std::string_view text) {
    std::string out;
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 0x20 && b <= 0x7E) || b == '\n') {
            out += c;
        } else {
            out += "\\x";
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

std::string ShowBytes(std::string_view bytes) {
    std::string out;
    bool afterAddress = false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        bool digitAfterAddress = afterAddress && bytes[i] >= '0' && bytes[i] <= '9';
        afterAddress = false;
        auto b = static_cast<unsigned char>(bytes[i]);
        auto next = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0u;
        if (b >= inbound::AddressFirst && inbound::FormOf(b) == 0 && next >= inbound::AddressFirst) {
            const auto trail = static_cast<uint8_t>(next);
            out += "\\@" + std::to_string(inbound::AddressRow(b)) + "," +
                   std::to_string(inbound::AddressColumn(b, trail));
            ++i;
            afterAddress = true;
            continue;
        }
        bool simple = false;
        for (const SimpleEscape& e : kSimple) {
            if (static_cast<char>(b) == e.byte) {
                out += '\\';
                out += e.letter;
                simple = true;
            }
        }
        if (simple) continue;
        // A digit right after an address would read as part of its column.
        if (b >= 0x20 && b <= 0x7E && !digitAfterAddress) {
            out += static_cast<char>(b);
        } else {
            out += "\\x";
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

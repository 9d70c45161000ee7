// Event lines: the inbound table's names and the quoting of text.
#include "tools/common/event_line.h"

#include <cstring>

#include "protocol/inbound_table.h"

namespace {
// Printable bytes as they are; quote, backslash and everything else escaped.
void AppendQuoted(std::string& line, const char* chars, int32_t count) {
    line += '"';
    for (int32_t i = 0; i < count; ++i) {
        const unsigned char c = static_cast<unsigned char>(chars[i]);
        if (c == '"' || c == '\\') {
            line += '\\';
            line += static_cast<char>(c);
        } else if (c >= 0x20 && c <= 0x7E) {
            line += static_cast<char>(c);
        } else {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            line += escape;
        }
    }
    line += '"';
}

std::string Format(const char* format, long long a, long long b) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}
}  // namespace

std::string EventLine(uint32_t type, intptr_t kind, int32_t argument) {
    const inbound::EventName* name = inbound::FindEventName(type, kind);
    if (!name)
        return "Event " + std::to_string(type) + Format(" %lld %lld", static_cast<long long>(kind), argument);
    std::string line = name->typeName;
    switch (name->shape) {
    case inbound::EventShape::Plain:
        if (std::strcmp(name->kindName, name->typeName) != 0) line += std::string(" ") + name->kindName;
        break;
    case inbound::EventShape::WithLine: line += std::string(" ") + name->kindName + " " + std::to_string(argument); break;
    case inbound::EventShape::Address: line += Format(" %lld %lld", static_cast<long long>(kind), argument); break;
    case inbound::EventShape::Text:
        line += " " + std::to_string(argument) + " ";
        AppendQuoted(line, reinterpret_cast<const char*>(kind), argument);
        break;
    }
    return line;
}

void PrintEvent(std::FILE* out, uint32_t type, intptr_t kind, int32_t argument) {
    std::fputs(EventLine(type, kind, argument).c_str(), out);
    std::fputc('\n', out);
}

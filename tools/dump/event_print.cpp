// The dump tool's event lines: the inbound table's names and the quoting of text.
#include "tools/dump/event_print.h"

#include <cstring>

#include "protocol/inbound_table.h"

namespace {
// Printable bytes as they are; quote, backslash and everything else escaped.
void PrintQuoted(std::FILE* out, const char* chars, int32_t count) {
    std::fputc('"', out);
    for (int32_t i = 0; i < count; ++i) {
        const unsigned char c = static_cast<unsigned char>(chars[i]);
        if (c == '"' || c == '\\')
            std::fprintf(out, "\\%c", c);
        else if (c >= 0x20 && c <= 0x7E)
            std::fputc(c, out);
        else
            std::fprintf(out, "\\x%02x", c);
    }
    std::fputc('"', out);
}
}  // namespace

void PrintEvent(std::FILE* out, uint32_t type, intptr_t kind, int32_t argument) {
    const inbound::EventName* name = inbound::FindEventName(type, kind);
    if (!name) {
        std::fprintf(out, "Event %u %lld %d\n", static_cast<unsigned>(type), static_cast<long long>(kind),
                     static_cast<int>(argument));
        return;
    }
    std::fputs(name->typeName, out);
    switch (name->shape) {
    case inbound::EventShape::Plain:
        if (std::strcmp(name->kindName, name->typeName) != 0) std::fprintf(out, " %s", name->kindName);
        break;
    case inbound::EventShape::WithLine: std::fprintf(out, " %s %d", name->kindName, static_cast<int>(argument)); break;
    case inbound::EventShape::Address:
        std::fprintf(out, " %lld %d", static_cast<long long>(kind), static_cast<int>(argument));
        break;
    case inbound::EventShape::Text:
        std::fprintf(out, " %d ", static_cast<int>(argument));
        PrintQuoted(out, reinterpret_cast<const char*>(kind), argument);
        break;
    }
    std::fputc('\n', out);
}

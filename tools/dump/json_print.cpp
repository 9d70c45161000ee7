// JSON objects written field by field; strings escaped so that any byte stays valid JSON
// (bytes from 0x7F up as \u00XX, read as Latin-1).
#include "tools/dump/json_print.h"

#include <string>

#include "protocol/inbound_table.h"
#include "protocol/key_table.h"

namespace {
void String(std::FILE* out, const char* chars, size_t count) {
    std::fputc('"', out);
    for (size_t i = 0; i < count; ++i) {
        const auto c = static_cast<unsigned char>(chars[i]);
        if (c == '"' || c == '\\')
            std::fprintf(out, "\\%c", c);
        else if (c >= 0x20 && c < 0x7F)
            std::fputc(c, out);
        else
            std::fprintf(out, "\\u%04x", c);
    }
    std::fputc('"', out);
}

void Begin(std::FILE* out, const JsonStamp& stamp, const char* kind) {
    std::fputc('{', out);
    if (stamp.timed)
        std::fprintf(out, "\"time\":%llu.%06llu,", static_cast<unsigned long long>(stamp.sinceStartUs / 1000000),
                     static_cast<unsigned long long>(stamp.sinceStartUs % 1000000));
    std::fprintf(out, "\"direction\":\"%s\",\"kind\":\"%s\"", stamp.direction, kind);
}

void Number(std::FILE* out, const char* name, long long value) { std::fprintf(out, ",\"%s\":%lld", name, value); }

void Text(std::FILE* out, const char* name, const char* chars, size_t count) {
    std::fprintf(out, ",\"%s\":", name);
    String(out, chars, count);
}

void Text(std::FILE* out, const char* name, const std::string& text) { Text(out, name, text.data(), text.size()); }

void End(std::FILE* out) { std::fputs("}\n", out); }

}  // namespace

void JsonEvent(std::FILE* out, const JsonStamp& stamp, uint32_t type, intptr_t kind, int32_t argument, int row,
               int column) {
    const inbound::EventName* name = inbound::FindEventName(type, kind);
    Begin(out, stamp, name ? name->kindName : "Event");
    switch (name ? name->shape : inbound::EventShape::Plain) {
    case inbound::EventShape::Plain: break;
    case inbound::EventShape::WithLine: Number(out, "line", argument); break;
    case inbound::EventShape::Address:
        Number(out, "row", static_cast<long long>(kind));
        Number(out, "column", argument);
        break;
    case inbound::EventShape::Text:
        Number(out, "row", row);
        Number(out, "column", column);
        Text(out, "text", reinterpret_cast<const char*>(kind), static_cast<size_t>(argument));
        break;
    }
    End(out);
}

void JsonIdentificationRequest(std::FILE* out, const JsonStamp& stamp) {
    Begin(out, stamp, inbound::IdentificationRequest);
    End(out);
}

void JsonCommand(std::FILE* out, const JsonStamp& stamp, const Command& command) {
    const commands::Row* kind = commands::ForKind(command.kind);
    Begin(out, stamp, kind ? kind->name : "Unknown");
    switch (command.kind) {
    case CommandKind::SelectLine: Number(out, "line", command.value); break;
    case CommandKind::BranchTo:
    case CommandKind::Identification:
    case CommandKind::Unknown: Text(out, "text", command.text); break;
    default:
        if (const commands::Row* row = RowOf(command)) {
            if (row->key) Text(out, "key", KeyTable::Legend(row->key));
            if (row->speed) {
                Text(out, "adjust", row->detail);
                Text(out, "speed", commands::SpeedName(row->speed));
            }
        }
        break;
    }
    End(out);
}

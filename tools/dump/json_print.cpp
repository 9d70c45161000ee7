// JSON objects written field by field; strings escaped so that any byte stays valid JSON
// (bytes from 0x7F up as \u00XX, read as Latin-1).
#include "tools/dump/json_print.h"

#include <string>

#include "keypad/key_table.h"
#include "protocol/inbound_table.h"

namespace {
// Each command's kind and the panel key that sends it (0: none); Adjust has a key per direction.
struct CommandJson {
    CommandKind kind;
    const char* name;
    int32_t keyId;
};
constexpr int32_t kDigitZeroId = 2010;
constexpr int32_t kAdjustUpId = 2006;
constexpr int32_t kAdjustDownId = 2007;
constexpr CommandJson kCommands[] = {
    {CommandKind::CursorLeft, "CursorKey", 2003},
    {CommandKind::CursorUp, "CursorKey", 2004},
    {CommandKind::CursorRight, "CursorKey", 2002},
    {CommandKind::CursorDown, "CursorKey", 2005},
    {CommandKind::LineUp, "ScrollLine", 2000},
    {CommandKind::LineDown, "ScrollLine", 2001},
    {CommandKind::SelectLine, "SelectLine", 0},
    {CommandKind::BranchTo, "Branch", 0},
    {CommandKind::Adjust, "Adjust", 0},
    {CommandKind::Exit, "ExitKey", 2024},
    {CommandKind::Digit, "Key", 0},
    {CommandKind::Point, "Key", 2021},
    {CommandKind::Neg, "Key", 2020},
    {CommandKind::Serv, "Key", 2022},
    {CommandKind::Enter, "Key", 2023},
    {CommandKind::Fast, "Key", KeyTable::FastId},
    {CommandKind::Slow, "Key", KeyTable::SlowId},
    {CommandKind::Identification, "IdentificationAnswer", 0},
    {CommandKind::Unknown, "Unknown", 0},
};
constexpr const char* kSpeeds[] = {"slow", "normal", "fast"};  // by AdjustSpeed

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

const char* Legend(int32_t keyId) { return KeyTable::Legend[KeyTable::Index(keyId)]; }
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
    const CommandJson* found = &kCommands[sizeof kCommands / sizeof kCommands[0] - 1];
    for (const CommandJson& c : kCommands)
        if (c.kind == command.kind) found = &c;
    Begin(out, stamp, found->name);
    switch (command.kind) {
    case CommandKind::SelectLine: Number(out, "line", command.value); break;
    case CommandKind::BranchTo:
    case CommandKind::Identification:
    case CommandKind::Unknown: Text(out, "text", command.text); break;
    case CommandKind::Adjust:
        Text(out, "key", Legend(command.value > 0 ? kAdjustUpId : kAdjustDownId));
        Text(out, "adjust", command.value > 0 ? "up" : "down");
        Text(out, "speed", kSpeeds[static_cast<int>(command.speed)]);
        break;
    case CommandKind::Digit: Text(out, "key", Legend(kDigitZeroId + command.value)); break;
    default:
        if (found->keyId) Text(out, "key", Legend(found->keyId));
        break;
    }
    End(out);
}

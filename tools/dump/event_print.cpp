// Names of the display events and the quoting of text for the dump tool's lines.
#include "tools/dump/event_print.h"

#include "display/display_event.h"

namespace {
namespace ev = display_event;

enum class Shape : uint8_t { Plain, WithArgument, Address, Text };

struct EventName {
    uint32_t type;
    bool anyKind;
    intptr_t kind;
    const char* name;
    Shape shape;
};

constexpr EventName kNames[] = {
    {ev::CursorAddress, true, 0, "CursorAddress", Shape::Address},
    {ev::Clear, false, ev::ClearScreen, "Clear ClearScreen", Shape::Plain},
    {ev::Clear, false, ev::ClearLine, "Clear ClearLine", Shape::WithArgument},
    {ev::Clear, false, ev::ClearCursorLine, "Clear ClearCursorLine", Shape::Plain},
    {ev::Signal, false, ev::SignalShiftIn, "Signal SignalShiftIn", Shape::Plain},
    {ev::Signal, false, ev::SignalShiftOut, "Signal SignalShiftOut", Shape::Plain},
    {ev::Signal, false, ev::SignalBell, "Signal SignalBell", Shape::Plain},
    {ev::CursorMove, false, ev::NextLine, "CursorMove NextLine", Shape::Plain},
    {ev::CursorMove, false, ev::LineStart, "CursorMove LineStart", Shape::Plain},
    {ev::ControlExited, true, 0, "ControlExited", Shape::Plain},
    {ev::Text, true, 0, "Text", Shape::Text},
};

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
    for (const EventName& e : kNames) {
        if (e.type != type || (!e.anyKind && e.kind != kind)) continue;
        std::fputs(e.name, out);
        switch (e.shape) {
        case Shape::Plain: break;
        case Shape::WithArgument: std::fprintf(out, " %d", static_cast<int>(argument)); break;
        case Shape::Address:
            std::fprintf(out, " %lld %d", static_cast<long long>(kind), static_cast<int>(argument));
            break;
        case Shape::Text:
            std::fprintf(out, " %d ", static_cast<int>(argument));
            PrintQuoted(out, reinterpret_cast<const char*>(kind), argument);
            break;
        }
        std::fputc('\n', out);
        return;
    }
    std::fprintf(out, "Event %u %lld %d\n", static_cast<unsigned>(type), static_cast<long long>(kind),
                 static_cast<int>(argument));
}

void PrintAnswer(std::FILE* out, const char* bytes, int32_t count) {
    std::fputs("answer ", out);
    std::fwrite(bytes, 1, static_cast<size_t>(count), out);
    std::fputc('\n', out);
}

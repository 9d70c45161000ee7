// Names of the display events and the quoting of text for the dump tool's lines.
#include "tools/dump/event_print.h"

#include "display/display_event.h"

namespace {
namespace ev = display_event;

struct NamedEvent {
    uint32_t type;
    bool anyKind;
    intptr_t kind;
    EventName name;
};

// In the order of the event codes; the dissector's table restates it.
constexpr NamedEvent kNames[] = {
    {ev::CursorAddress, true, 0, {"CursorAddress", "CursorAddress", EventShape::Address}},
    {ev::Clear, false, ev::ClearScreen, {"Clear", "ClearScreen", EventShape::Plain}},
    {ev::Clear, false, ev::ClearLine, {"Clear", "ClearLine", EventShape::WithLine}},
    {ev::Clear, false, ev::ClearCursorLine, {"Clear", "ClearCursorLine", EventShape::Plain}},
    {ev::Signal, false, ev::SignalShiftIn, {"Signal", "SignalShiftIn", EventShape::Plain}},
    {ev::Signal, false, ev::SignalShiftOut, {"Signal", "SignalShiftOut", EventShape::Plain}},
    {ev::Signal, false, ev::SignalBell, {"Signal", "SignalBell", EventShape::Plain}},
    {ev::CursorMove, false, ev::NextLine, {"CursorMove", "NextLine", EventShape::Plain}},
    {ev::CursorMove, false, ev::LineStart, {"CursorMove", "LineStart", EventShape::Plain}},
    {ev::ControlExited, true, 0, {"ControlExited", "ControlExited", EventShape::Plain}},
    {ev::Text, true, 0, {"Text", "Text", EventShape::Text}},
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

const EventName* FindEventName(uint32_t type, intptr_t kind) {
    for (const NamedEvent& e : kNames)
        if (e.type == type && (e.anyKind || e.kind == kind)) return &e.name;
    return nullptr;
}

void PrintEvent(std::FILE* out, uint32_t type, intptr_t kind, int32_t argument) {
    const EventName* name = FindEventName(type, kind);
    if (!name) {
        std::fprintf(out, "Event %u %lld %d\n", static_cast<unsigned>(type), static_cast<long long>(kind),
                     static_cast<int>(argument));
        return;
    }
    std::fputs(name->type, out);
    switch (name->shape) {
    case EventShape::Plain:
        if (name->kind != name->type) std::fprintf(out, " %s", name->kind);
        break;
    case EventShape::WithLine: std::fprintf(out, " %s %d", name->kind, static_cast<int>(argument)); break;
    case EventShape::Address:
        std::fprintf(out, " %lld %d", static_cast<long long>(kind), static_cast<int>(argument));
        break;
    case EventShape::Text:
        std::fprintf(out, " %d ", static_cast<int>(argument));
        PrintQuoted(out, reinterpret_cast<const char*>(kind), argument);
        break;
    }
    std::fputc('\n', out);
}

// The display stream's table: the byte classes, the event each control code delivers, the
// cursor address forms, the identification exchange and the events' names. The decoder, the
// tools, the benchmarks and the generated dissector tables all read their facts from here.
#pragma once
#include <cstdint>
#include <string>

#include "protocol/display_event.h"

namespace inbound {
// Byte classes: below TextFirst a control code, from AddressFirst half of a cursor address.
constexpr uint8_t TextFirst = 0x20;
constexpr uint8_t AddressFirst = 0x80;
constexpr bool IsText(uint8_t b) { return b >= TextFirst && b < AddressFirst; }

enum class Reaction : uint8_t { Nothing, Event, Identify };

struct ControlCode {
    uint8_t byte;
    const char* mnemonic;  // the byte's ASCII name
    Reaction reaction;
    uint32_t type;
    intptr_t kind;
    int32_t argument;  // the line of a line clear
    const char* note;  // why, where the byte's name misleads; null for none
};

// Every control code that does something; the others are dropped.
constexpr ControlCode kControlCodes[] = {
    {0x01, "SOH", Reaction::Event, display_event::Clear, display_event::ClearScreen, 0, nullptr},
    {0x07, "BEL", Reaction::Event, display_event::Signal, display_event::SignalBell, 0, nullptr},
    {0x08, "BS", Reaction::Event, display_event::Clear, display_event::ClearScreen, 0, "a clear, not a backspace"},
    {0x0A, "LF", Reaction::Event, display_event::CursorMove, display_event::NextLine, 0, nullptr},
    {0x0B, "VT", Reaction::Event, display_event::Clear, display_event::ClearLine, 0, nullptr},
    {0x0C, "FF", Reaction::Event, display_event::Clear, display_event::ClearLine, 1, nullptr},
    {0x0D, "CR", Reaction::Event, display_event::CursorMove, display_event::LineStart, 0, nullptr},
    {0x0E, "SO", Reaction::Event, display_event::Signal, display_event::SignalShiftOut, 0, nullptr},
    {0x0F, "SI", Reaction::Event, display_event::Signal, display_event::SignalShiftIn, 0, nullptr},
    {0x14, "DC4", Reaction::Event, display_event::Clear, display_event::ClearScreen, 0, nullptr},
    {0x15, "NAK", Reaction::Event, display_event::Clear, display_event::ClearCursorLine, 0, nullptr},
    {0x16, "SYN", Reaction::Event, display_event::ControlExited, 0, 0, nullptr},
    {0x1A, "SUB", Reaction::Identify, 0, 0, 0, nullptr},
};

// What the panel answers to the identification request.
constexpr char IdentificationAnswer[] = {'V', 'F', 'D'};

// The first code that delivers this event (for the tools and benchmarks that write streams).
constexpr uint8_t ByteOf(uint32_t type, intptr_t kind, int32_t argument = 0) {
    for (const ControlCode& c : kControlCodes)
        if (c.reaction == Reaction::Event && c.type == type && c.kind == kind && c.argument == argument) return c.byte;
    return 0;
}
constexpr uint8_t IdentifyByte() {
    for (const ControlCode& c : kControlCodes)
        if (c.reaction == Reaction::Identify) return c.byte;
    return 0;
}
constexpr uint8_t ClearScreen = ByteOf(display_event::Clear, display_event::ClearScreen);
constexpr uint8_t ExitNotice = ByteOf(display_event::ControlExited, 0);
constexpr uint8_t Identify = IdentifyByte();

// Cursor address forms, chosen by bit 6 of the lead byte.
struct AddressForm {
    uint8_t leadXor;
    int32_t rowOffset;
    uint8_t trailXor;
};
constexpr AddressForm kAddressForms[2] = {{0x80, 0, 0x80}, {0xC0, 50, 0xC0}};
constexpr int FormOf(uint8_t lead) { return (lead >> 6) & 1; }
constexpr int32_t AddressRow(uint8_t lead) {
    return (lead ^ kAddressForms[FormOf(lead)].leadXor) + kAddressForms[FormOf(lead)].rowOffset;
}
constexpr int32_t AddressColumn(uint8_t lead, uint8_t trail) { return trail ^ kAddressForms[FormOf(lead)].trailXor; }

// The first form writes rows 0..63 and columns 0..127, which is all the tools write.
constexpr int MaxAddressRow = 0x3F;
constexpr int MaxAddressColumn = 0x7F;
constexpr uint8_t AddressLead(int row) { return static_cast<uint8_t>(kAddressForms[0].leadXor ^ row); }
constexpr uint8_t AddressTrail(int column) { return static_cast<uint8_t>(kAddressForms[0].trailXor ^ column); }
inline std::string Address(int row, int column) {
    return {static_cast<char>(AddressLead(row)), static_cast<char>(AddressTrail(column))};
}
static_assert(AddressRow(AddressLead(MaxAddressRow)) == MaxAddressRow && FormOf(AddressLead(MaxAddressRow)) == 0);
static_assert(AddressColumn(AddressLead(0), AddressTrail(MaxAddressColumn)) == MaxAddressColumn);

// The names of the events as the tools print them, and the shape of their values after the name.
enum class EventShape : uint8_t { Plain, WithLine, Address, Text };

struct EventName {
    uint32_t type;
    bool anyKind;
    intptr_t kind;
    const char* typeName;  // "Clear"
    const char* kindName;  // "ClearLine"; the type again for the events without kinds
    EventShape shape;
};

// In the order of the event codes.
constexpr EventName kEventNames[] = {
    {display_event::CursorAddress, true, 0, "CursorAddress", "CursorAddress", EventShape::Address},
    {display_event::Clear, false, display_event::ClearScreen, "Clear", "ClearScreen", EventShape::Plain},
    {display_event::Clear, false, display_event::ClearLine, "Clear", "ClearLine", EventShape::WithLine},
    {display_event::Clear, false, display_event::ClearCursorLine, "Clear", "ClearCursorLine", EventShape::Plain},
    {display_event::Signal, false, display_event::SignalShiftIn, "Signal", "SignalShiftIn", EventShape::Plain},
    {display_event::Signal, false, display_event::SignalShiftOut, "Signal", "SignalShiftOut", EventShape::Plain},
    {display_event::Signal, false, display_event::SignalBell, "Signal", "SignalBell", EventShape::Plain},
    {display_event::CursorMove, false, display_event::NextLine, "CursorMove", "NextLine", EventShape::Plain},
    {display_event::CursorMove, false, display_event::LineStart, "CursorMove", "LineStart", EventShape::Plain},
    {display_event::ControlExited, true, 0, "ControlExited", "ControlExited", EventShape::Plain},
    {display_event::Text, true, 0, "Text", "Text", EventShape::Text},
};

// The names of a decoded event; null for a type and kind the decoder never delivers.
constexpr const EventName* FindEventName(uint32_t type, intptr_t kind) {
    for (const EventName& e : kEventNames)
        if (e.type == type && (e.anyKind || e.kind == kind)) return &e;
    return nullptr;
}

// The identification request has no display event; the tools name it as one.
constexpr char IdentificationRequest[] = "IdentificationRequest";

// Every event a code delivers has a name.
constexpr bool EveryCodeNamed() {
    for (const ControlCode& c : kControlCodes)
        if (c.reaction == Reaction::Event && !FindEventName(c.type, c.kind)) return false;
    return true;
}
static_assert(EveryCodeNamed());
}  // namespace inbound

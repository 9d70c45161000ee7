// One line of text per display event, as the dump tool prints them, and the events' names.
#pragma once
#include <cstdint>
#include <cstdio>

// The shape of an event's values after its name.
enum class EventShape : uint8_t { Plain, WithLine, Address, Text };

struct EventName {
    const char* type;  // "Clear"
    const char* kind;  // "ClearLine"; the type again for the events without kinds
    EventShape shape;
};

// The names of a decoded event; null for a type and kind the decoder never delivers.
const EventName* FindEventName(uint32_t type, intptr_t kind);

// "Text 2 "AB"", "CursorAddress 5 10", "Clear ClearLine 1", "CursorMove NextLine", ...
void PrintEvent(std::FILE* out, uint32_t type, intptr_t kind, int32_t argument);

// The inbound code 26 has no display event; the tools name it as one.
constexpr char kIdentificationRequest[] = "IdentificationRequest";

// The display event triple, its type and kind codes, and the sink that takes events one at a time.
#pragma once
#include <cstdint>

struct DisplayEvent {
    uint32_t type;
    intptr_t kind;  // a Text event lends its characters through it
    int32_t argument;
};

namespace display_event {
// Types.
constexpr uint32_t CursorAddress = 0;
constexpr uint32_t Clear = 1;
constexpr uint32_t Signal = 2;
constexpr uint32_t CursorMove = 3;
constexpr uint32_t ControlExited = 4;
constexpr uint32_t Text = 9;

// Kinds within Clear, Signal and CursorMove.
constexpr intptr_t ClearScreen = 10;
constexpr intptr_t ClearLine = 11;
constexpr intptr_t SignalShiftIn = 12;
constexpr intptr_t SignalShiftOut = 13;
constexpr intptr_t SignalBell = 14;
constexpr intptr_t NextLine = 15;
constexpr intptr_t LineStart = 16;
constexpr intptr_t ClearCursorLine = 17;
}  // namespace display_event

// Receives decoded events in stream order; its result is not examined. A Text event's
// characters are NUL-terminated and valid only during the call.
class EventSink {
public:
    virtual int32_t ApplyEvent(uint32_t type, intptr_t kind, int32_t argument) = 0;

protected:
    ~EventSink() = default;
};

// The panel's outbound commands, one row each: the request that asks for it, its bytes, its name
// as the tools print it and the key that sends it. The encoder, the key bindings, the tools'
// command reader and printers and the generated dissector tables all read their facts from here.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/panel_command.h"
#include "protocol/inbound_table.h"
#include "protocol/key_ids.h"

// What a reader of the panel's bytes makes of them; the last two are no command row.
enum class CommandKind {
    CursorLeft,
    CursorUp,
    CursorRight,
    CursorDown,
    LineUp,
    LineDown,
    SelectLine,  // value: the 1-based display line
    BranchTo,    // text: the entered name
    Adjust,      // value: +1 up, -1 down; speed
    Exit,
    Digit,  // value: 0..9
    Point,
    Neg,
    Serv,
    Enter,
    Fast,
    Slow,
    Identification,  // text: "VFD"
    Unknown,         // text: the bytes that made no command
};

namespace commands {
// Fixed: the bytes whole. Numbered: the lead byte, the decimal line and End. Text: the lead
// byte, any text and End.
enum class Form : uint8_t { Fixed, Numbered, Text };
constexpr char End = '\n';

// How a request's field selects the row.
enum class Match : uint8_t { Any, Exact, Zero, NonZero };

struct Request {
    int32_t type;  // 0: no request asks for it, the key or dialog writes the bytes itself
    Match argumentMatch;
    int32_t argument;  // also what the row's key asks with
    Match speedMatch;
    int32_t speed;
};

struct Row {
    CommandKind kind;
    int32_t value;   // the digit; +1/-1 for the adjust direction
    int32_t speed;   // panel_command::Slow, Normal or Fast for Adjust; 0 for the others
    const char* bytes;
    Form form;
    const char* name;    // "CursorKey"; also the JSON kind
    const char* detail;  // after the name: "left"; null for none
    bool legendNamed;    // named "Key" and the legend of its key
    int32_t key;         // the panel key that sends it; 0 for none
    Request request;
};

namespace pc = panel_command;
constexpr Request kNoRequest = {0, Match::Any, 0, Match::Any, 0};
constexpr Request Asks(int32_t type, int32_t argument) { return {type, Match::Exact, argument, Match::Any, 0}; }
constexpr Request Asks(int32_t type) { return {type, Match::Any, 0, Match::Any, 0}; }
constexpr Request AsksAdjust(int32_t argument, int32_t speed) {
    return {pc::Adjust, Match::Exact, argument, Match::Exact, speed};
}
constexpr Row Named(CommandKind kind, const char* bytes, const char* name, const char* detail, int32_t key,
                    Request request) {
    return {kind, 0, 0, bytes, Form::Fixed, name, detail, false, key, request};
}
constexpr Row Adjust(int32_t direction, int32_t speed, const char* bytes) {
    return {CommandKind::Adjust, direction,
            speed,               bytes,
            Form::Fixed,         "Adjust",
            direction > 0 ? "up" : "down",
            false,               direction > 0 ? KeyId::AdjustUp : KeyId::AdjustDown,
            AsksAdjust(direction > 0 ? pc::AdjustUp : pc::AdjustDown, speed)};
}
// A key that writes its own byte.
constexpr Row KeyByte(CommandKind kind, int32_t value, const char* bytes, int32_t key) {
    return {kind, value, 0, bytes, Form::Fixed, "Key", nullptr, true, key, kNoRequest};
}

// A request matches the first row that fits it. Inline: one table for every user, so rows compare
// by address.
inline constexpr Row kRows[] = {
    Named(CommandKind::CursorLeft, "H", "CursorKey", "left", KeyId::Left, Asks(pc::CursorKey, pc::Left)),
    Named(CommandKind::CursorUp, "K", "CursorKey", "up", KeyId::Up, Asks(pc::CursorKey, pc::Up)),
    Named(CommandKind::CursorRight, "L", "CursorKey", "right", KeyId::Right, Asks(pc::CursorKey, pc::Right)),
    Named(CommandKind::CursorDown, "J", "CursorKey", "down", KeyId::Down, Asks(pc::CursorKey, pc::Down)),
    {CommandKind::SelectLine, 0, 0, "p", Form::Numbered, "SelectLine", nullptr, false, 0, Asks(pc::SelectLine)},
    Named(CommandKind::LineUp, "o", "ScrollLine", "up", KeyId::LineUp,
          {pc::ScrollLine, Match::NonZero, pc::LineUp, Match::Any, 0}),
    Named(CommandKind::LineDown, "O", "ScrollLine", "down", KeyId::LineDown,
          {pc::ScrollLine, Match::Zero, pc::LineDown, Match::Any, 0}),
    Adjust(1, pc::Slow, "Z"),
    Adjust(-1, pc::Slow, "X"),
    Adjust(1, pc::Normal, "A"),
    Adjust(-1, pc::Normal, "S"),
    Adjust(1, pc::Fast, "Q"),
    Adjust(-1, pc::Fast, "W"),
    Named(CommandKind::Exit, "P", "ExitKey", nullptr, KeyId::Exit, Asks(pc::ExitKey)),
    {CommandKind::BranchTo, 0, 0, "q", Form::Text, "Branch", nullptr, false, 0, kNoRequest},
    KeyByte(CommandKind::Digit, 0, "0", KeyId::Digit0),
    KeyByte(CommandKind::Digit, 1, "1", KeyId::Digit1),
    KeyByte(CommandKind::Digit, 2, "2", KeyId::Digit2),
    KeyByte(CommandKind::Digit, 3, "3", KeyId::Digit3),
    KeyByte(CommandKind::Digit, 4, "4", KeyId::Digit4),
    KeyByte(CommandKind::Digit, 5, "5", KeyId::Digit5),
    KeyByte(CommandKind::Digit, 6, "6", KeyId::Digit6),
    KeyByte(CommandKind::Digit, 7, "7", KeyId::Digit7),
    KeyByte(CommandKind::Digit, 8, "8", KeyId::Digit8),
    KeyByte(CommandKind::Digit, 9, "9", KeyId::Digit9),
    KeyByte(CommandKind::Point, 0, ".", KeyId::Point),
    KeyByte(CommandKind::Neg, 0, "-", KeyId::Neg),
    KeyByte(CommandKind::Serv, 0, ":", KeyId::Serv),
    KeyByte(CommandKind::Enter, 0, "\n", KeyId::Enter),
    KeyByte(CommandKind::Fast, 0, "B", KeyId::Fast),
    KeyByte(CommandKind::Slow, 0, "C", KeyId::Slow),
    Named(CommandKind::Identification, "VFD", "IdentificationAnswer", nullptr, 0, kNoRequest),
};

// What the panel sends as soon as it is connected, before anything else: EXIT, EXIT, cursor up.
inline constexpr PanelCommand Greeting[] = {{pc::ExitKey, 0, 0}, {pc::ExitKey, 0, 0}, {pc::CursorKey, pc::Up, 0}};

constexpr bool Fits(Match m, int32_t want, int32_t value) {
    switch (m) {
    case Match::Any: return true;
    case Match::Exact: return value == want;
    case Match::Zero: return value == 0;
    case Match::NonZero: return value != 0;
    }
    return false;
}

constexpr bool Answers(const Row& r, const PanelCommand& c) {
    return r.request.type != 0 && r.request.type == c.type &&
           Fits(r.request.argumentMatch, r.request.argument, c.argument) &&
           Fits(r.request.speedMatch, r.request.speed, c.speed);
}

// The row a request asks for; null when it has no byte form.
constexpr const Row* ForRequest(const PanelCommand& c) {
    for (const Row& r : kRows)
        if (Answers(r, c)) return &r;
    return nullptr;
}

// The greeting's bytes as the control reads them ("PPK"), for the peers and scripts that wait for it.
inline std::string GreetingBytes() {
    std::string bytes;
    for (const PanelCommand& c : Greeting) bytes += ForRequest(c)->bytes;
    return bytes;
}
constexpr bool GreetingHasBytes() {
    int answered = 0;
    for (const PanelCommand& c : Greeting)
        for (const Row& r : kRows)
            if (Answers(r, c)) {
                ++answered;
                break;
            }
    return answered == sizeof Greeting / sizeof Greeting[0];
}
static_assert(GreetingHasBytes());

// The row whose bytes begin with this byte; null for none.
constexpr const Row* ForLead(char b) {
    for (const Row& r : kRows)
        if (r.bytes[0] == b) return &r;
    return nullptr;
}

// The row of a command as the reader gave it: kind, value and speed; null for none.
constexpr const Row* ForCommand(CommandKind kind, int32_t value, int32_t speed) {
    for (const Row& r : kRows)
        if (r.kind == kind && r.value == value && r.speed == speed) return &r;
    return nullptr;
}

// The first row of a kind (its name is the kind's); null for Unknown.
constexpr const Row* ForKind(CommandKind kind) {
    for (const Row& r : kRows)
        if (r.kind == kind) return &r;
    return nullptr;
}

// The byte a key writes itself; 0 for a key that sends a request.
constexpr char ByteOfKey(int32_t key) {
    for (const Row& r : kRows)
        if (r.key == key && r.request.type == 0) return r.bytes[0];
    return 0;
}

// A Branch To text goes between the lead byte and End as it is: a control byte inside it would
// end the command early (End) and let the rest read as other commands, or cut it (a NUL).
constexpr int BranchTextMax = 32;
// What a reader of the panel's bytes (the tools, the dissector) still takes as one Branch To text:
// room beyond the panel's own limit, so that a longer text, which no panel sends, shows as Unknown.
constexpr int BranchTextReadMax = 64;
static_assert(BranchTextReadMax >= BranchTextMax);
constexpr bool InBranchText(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x20 && b != 0x7F;
}
static_assert(!InBranchText(End));

enum class BranchText : uint8_t { Ok, TooLong, ControlByte };
// Whether the text may go out as a Branch To text; the length is judged first.
constexpr BranchText CheckBranchText(std::string_view text) {
    if (text.size() > static_cast<size_t>(BranchTextMax)) return BranchText::TooLong;
    for (char c : text)
        if (!InBranchText(c)) return BranchText::ControlByte;
    return BranchText::Ok;
}

constexpr const char* SpeedName(int32_t speed) {
    return speed == pc::Slow ? "slow" : speed == pc::Fast ? "fast" : "normal";
}

// A reader tells the commands apart by their first byte, so no two rows share one.
constexpr bool LeadsDiffer() {
    for (const Row& a : kRows)
        for (const Row& b : kRows)
            if (&a != &b && a.bytes[0] == b.bytes[0]) return false;
    return true;
}
static_assert(LeadsDiffer());

constexpr bool AnswerIsTheInboundOne() {
    const Row* r = ForKind(CommandKind::Identification);
    for (size_t i = 0; i < sizeof inbound::IdentificationAnswer; ++i)
        if (r->bytes[i] != inbound::IdentificationAnswer[i]) return false;
    return r->bytes[sizeof inbound::IdentificationAnswer] == '\0';
}
static_assert(AnswerIsTheInboundOne());
}  // namespace commands

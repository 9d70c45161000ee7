// The byte-form table of the panel commands.
#include "link/command_encoder.h"

#include <cstdio>
#include <cstring>

namespace {
enum class Match : uint8_t { Any, Exact, Zero, NonZero };

struct Form {
    int32_t type;
    Match argumentMatch;
    int32_t argument;
    Match speedMatch;
    int32_t speed;
    const char* text;  // printf format with the line number when numbered
    bool numbered;
};

namespace pc = panel_command;
constexpr Form kForms[] = {
    {pc::CursorKey, Match::Exact, pc::Left, Match::Any, 0, "H", false},
    {pc::CursorKey, Match::Exact, pc::Up, Match::Any, 0, "K", false},
    {pc::CursorKey, Match::Exact, pc::Right, Match::Any, 0, "L", false},
    {pc::CursorKey, Match::Exact, pc::Down, Match::Any, 0, "J", false},
    {pc::SelectLine, Match::Any, 0, Match::Any, 0, "p%d\n", true},
    {pc::ScrollLine, Match::NonZero, 0, Match::Any, 0, "o", false},
    {pc::ScrollLine, Match::Zero, 0, Match::Any, 0, "O", false},
    {pc::Adjust, Match::Exact, pc::AdjustUp, Match::Exact, pc::Slow, "Z", false},
    {pc::Adjust, Match::Exact, pc::AdjustDown, Match::Exact, pc::Slow, "X", false},
    {pc::Adjust, Match::Exact, pc::AdjustUp, Match::Exact, pc::Normal, "A", false},
    {pc::Adjust, Match::Exact, pc::AdjustDown, Match::Exact, pc::Normal, "S", false},
    {pc::Adjust, Match::Exact, pc::AdjustUp, Match::Exact, pc::Fast, "Q", false},
    {pc::Adjust, Match::Exact, pc::AdjustDown, Match::Exact, pc::Fast, "W", false},
    {pc::ExitKey, Match::Any, 0, Match::Any, 0, "P", false},
};

constexpr bool Matches(Match m, int32_t want, int32_t value) {
    switch (m) {
    case Match::Any: return true;
    case Match::Exact: return value == want;
    case Match::Zero: return value == 0;
    case Match::NonZero: return value != 0;
    }
    return false;
}

const Form* FindForm(const PanelCommand& c) {
    for (const Form& f : kForms)
        if (f.type == c.type && Matches(f.argumentMatch, f.argument, c.argument) &&
            Matches(f.speedMatch, f.speed, c.speed))
            return &f;
    return nullptr;
}
}  // namespace

int EncodeCommand(const PanelCommand& command, char (&buf)[CommandBufferSize]) {
    buf[0] = '\0';
    const Form* form = FindForm(command);
    if (!form) return 0;
    if (!form->numbered) {
        const size_t n = std::strlen(form->text);
        std::memcpy(buf, form->text, n + 1);
        return static_cast<int>(n);
    }
    // Line numbers are 1-based on the wire; the increment wraps like the 32-bit value it is.
    const int32_t number = static_cast<int32_t>(static_cast<uint32_t>(command.argument) + 1u);
    const int n = std::snprintf(buf, sizeof buf, form->text, static_cast<int>(number));
    return n > 0 && n < CommandBufferSize ? n : 0;
}

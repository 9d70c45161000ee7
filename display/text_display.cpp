// Event dispatch, cursor rules and text storage of the display buffer, under one lock.
#include "display/text_display.h"

#include <cstring>

namespace {
constexpr uint32_t kAllLines = (1u << screen::Lines) - 1;
static_assert(screen::Lines < 32, "a line mask has a bit per line");
}  // namespace

enum class TextDisplay::Action : uint8_t {
    None,
    SetCursor,
    ClearScreen,
    ClearLine,
    ClearCursorLine,
    NextLine,
    LineStart,
    ControlExited,
    Text,
    BlankLine,  // the direct operation only; no event maps to it
};

TextDisplay::Action TextDisplay::ActionFor(uint32_t type, intptr_t kind) {
    struct Rule {
        uint32_t type;
        bool anyKind;
        intptr_t kind;
        Action action;
    };
    namespace ev = display_event;
    // Text first: it is by far the most frequent event.
    static constexpr Rule kRules[] = {
        {ev::Text, true, 0, Action::Text},
        {ev::CursorAddress, true, 0, Action::SetCursor},
        {ev::Clear, false, ev::ClearScreen, Action::ClearScreen},
        {ev::Clear, false, ev::ClearLine, Action::ClearLine},
        {ev::Clear, false, ev::ClearCursorLine, Action::ClearCursorLine},
        {ev::CursorMove, false, ev::NextLine, Action::NextLine},
        {ev::CursorMove, false, ev::LineStart, Action::LineStart},
        {ev::ControlExited, true, 0, Action::ControlExited},
    };
    for (const Rule& r : kRules)
        if (r.type == type && (r.anyKind || r.kind == kind)) return r.action;
    return Action::None;
}

TextDisplay::TextDisplay() {
    for (auto& line : lines_) {
        std::memset(line, ' ', screen::Columns);
        line[screen::Columns] = '\0';
    }
}

void TextDisplay::SetOwner(DisplayOwner* owner) { owner_.store(owner, std::memory_order_release); }

void TextDisplay::BlankAll() {
    std::lock_guard<std::mutex> guard(lock_);
    for (auto& line : lines_) std::memset(line, ' ', screen::Columns);
}

int32_t TextDisplay::ApplyEvent(uint32_t type, intptr_t kind, int32_t argument) {
    const Action action = ActionFor(type, kind);
    if (action == Action::None) return 1;
    if (action == Action::ControlExited) {
        // The owner may destroy this object before it returns: nothing of it is used afterwards.
        if (DisplayOwner* owner = owner_.load(std::memory_order_acquire)) owner->OnControlExited();
        return 1;
    }
    Run(action, kind, argument);
    return 1;
}

void TextDisplay::SetCursor(int32_t row, int32_t column) { Run(Action::SetCursor, row, column); }

void TextDisplay::BlankLine(int32_t n) { Run(Action::BlankLine, 0, n); }

void TextDisplay::WriteText(const char* chars, int32_t count) {
    Run(Action::Text, reinterpret_cast<intptr_t>(chars), count);
}

void TextDisplay::Run(Action action, intptr_t kind, int32_t argument) {
    DisplayOwner* owner = owner_.load(std::memory_order_acquire);
    const bool hasFont = action == Action::Text && owner && owner->HasDisplayFont();
    uint32_t changed;
    {
        std::lock_guard<std::mutex> guard(lock_);
        changed = Perform(action, kind, argument, hasFont);
    }
    // Outside the lock: the window thread may be painting under it.
    if (owner && changed) owner->LinesChanged(changed);
}

void TextDisplay::Snapshot(char out[screen::Lines][screen::Columns + 1]) const {
    std::lock_guard<std::mutex> guard(lock_);
    std::memcpy(out, lines_, sizeof lines_);
}

int32_t TextDisplay::CursorRow() const {
    std::lock_guard<std::mutex> guard(lock_);
    return row_;
}

int32_t TextDisplay::CursorColumn() const {
    std::lock_guard<std::mutex> guard(lock_);
    return column_;
}

uint32_t TextDisplay::Perform(Action action, intptr_t kind, int32_t argument, bool hasFont) {
    switch (action) {
    case Action::SetCursor:
        MoveCursor(static_cast<int32_t>(kind), argument);
        return 0;
    case Action::ClearScreen:
        for (int32_t n = 0; n < screen::Lines; ++n) Blank(n);
        MoveCursor(0, 0);
        return kAllLines;
    case Action::ClearLine: {
        const uint32_t r = Blank(argument);
        MoveCursor(argument, 0);
        return r;
    }
    case Action::ClearCursorLine: {
        const int32_t row = row_;
        const uint32_t r = Blank(row);
        MoveCursor(row, 0);
        return r;
    }
    case Action::NextLine:
        MoveCursor(row_ + 1, 0);
        return 0;
    case Action::LineStart:
        MoveCursor(row_, 0);
        return 0;
    case Action::Text:
        return Write(reinterpret_cast<const char*>(kind), argument, hasFont);
    case Action::BlankLine:
        return Blank(argument);
    case Action::None:
    case Action::ControlExited:
        break;
    }
    return 0;
}

void TextDisplay::MoveCursor(int32_t row, int32_t column) {
    // The row never leaves 0..19; the column takes any value (40 and up drop text).
    if (row >= 0 && row < screen::Lines && column >= 0 && column < screen::Columns) row_ = row;
    column_ = column;
}

uint32_t TextDisplay::Blank(int32_t n) {
    if (n < 0 || n >= screen::Lines) return 0;
    std::memset(lines_[n], ' ', screen::Columns);
    lines_[n][screen::Columns] = '\0';
    MoveCursor(n, 0);
    return 1u << n;
}

uint32_t TextDisplay::Write(const char* chars, int32_t count, bool hasFont) {
    if (!hasFont) return 0;
    const int32_t row = row_;
    const int32_t column = column_;
    if (column >= 0 && column < screen::Columns && count > 0) {
        const int32_t n = count < screen::Columns - column ? count : screen::Columns - column;
        char* cell = lines_[row] + column;
        for (int32_t i = 0; i < n; ++i) {
            const unsigned char c = static_cast<unsigned char>(chars[i]);
            cell[i] = c >= 0x20 && c <= 0x7E ? static_cast<char>(c) : ' ';
        }
        column_ = column + n;
    }
    return 1u << row;
}

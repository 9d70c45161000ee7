// The display buffer of screen::Lines x screen::Columns cells and its cursor, changed only by display events.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>

#include "protocol/display_event.h"
#include "display/display_owner.h"
#include "protocol/screen.h"

class TextDisplay final : public EventSink {
public:
    TextDisplay();

    // The owner may be null (no repaints, no font, exits go nowhere).
    void SetOwner(DisplayOwner* owner);
    // Blanks every line without moving the cursor or requesting repaints (window creation).
    void BlankAll();

    // Always 1. For ControlExited it returns as soon as the owner returns, touching nothing.
    int32_t ApplyEvent(uint32_t type, intptr_t kind, int32_t argument) override;
    void SetCursor(int32_t row, int32_t column);
    void BlankLine(int32_t n);
    void WriteText(const char* chars, int32_t count);

    // A consistent copy of the lines, each a line's characters and a NUL.
    void Snapshot(char out[screen::Lines][screen::Columns + 1]) const;
    int32_t CursorRow() const;
    int32_t CursorColumn() const;

private:
    enum class Action : uint8_t;

    static Action ActionFor(uint32_t type, intptr_t kind);
    // One change under the lock, then the owner hears which lines it changed.
    void Run(Action action, intptr_t kind, int32_t argument);
    // The changed lines, a bit per line.
    uint32_t Perform(Action action, intptr_t kind, int32_t argument, bool hasFont);
    void MoveCursor(int32_t row, int32_t column);
    uint32_t Blank(int32_t n);
    uint32_t Write(const char* chars, int32_t count, bool hasFont);

    mutable std::mutex lock_;
    char lines_[screen::Lines][screen::Columns + 1];
    int32_t row_ = 0;
    int32_t column_ = 0;
    std::atomic<DisplayOwner*> owner_{nullptr};
};

// Splits the panel's command bytes into commands, also across reads, spots the "VFD" answer,
// and names each command as the tools show it.
#pragma once
#include <string>
#include <string_view>
#include <vector>

enum class CommandKind {
    CursorLeft,
    CursorUp,
    CursorRight,
    CursorDown,
    LineUp,
    LineDown,
    SelectLine,      // value: the 1-based display line
    BranchTo,        // text: the entered name
    Adjust,          // value: +1 up, -1 down; speed
    Exit,
    Digit,           // value: 0..9
    Point,
    Neg,
    Serv,
    Enter,
    Fast,
    Slow,
    Identification,  // text: "VFD"
    Unknown,         // text: the bytes that made no command
};

enum class AdjustSpeed { Slow, Normal, Fast };

struct Command {
    CommandKind kind = CommandKind::Unknown;
    int value = 0;
    AdjustSpeed speed = AdjustSpeed::Normal;
    std::string text;
};

class CommandReader {
public:
    // Appends the commands completed by these bytes; an unfinished one waits for the next call.
    void Feed(std::string_view bytes, std::vector<Command>& out);
    // Forgets an unfinished command (a new panel starts afresh).
    void Reset();

private:
    enum class State { Idle, Select, Branch, Ident };
    void Take(char b, std::vector<Command>& out);
    void Abandon(std::vector<Command>& out);

    State state_ = State::Idle;
    std::string partial_;
};

// The command's name: "CursorKey up", "SelectLine 5", "Adjust up fast", "Branch "XYZ"",
// "IdentificationAnswer", "Key 7" for the keys that send their own byte, "Unknown "\r"" for
// bytes that made none.
std::string CommandName(const Command& command);
// The name and the bytes, e.g. "Adjust up fast (Q)", as the simulator's console shows it.
std::string DescribeCommand(const Command& command);

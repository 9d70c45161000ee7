// Splits the panel's command bytes into commands, also across reads, spots the "VFD" answer,
// and names each command as the tools show it, all by the command table.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "protocol/command_table.h"

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
    void Take(char b, std::vector<Command>& out);
    void Emit(const commands::Row& row, std::vector<Command>& out);
    void Abandon(std::vector<Command>& out);

    const commands::Row* open_ = nullptr;  // the command begun; null between commands
    std::string partial_;
};

// The command table's row of a command read whole; null for one of no row or a value no row has.
const commands::Row* RowOf(const Command& command);
// The command's name: "CursorKey up", "SelectLine 5", "Adjust up fast", "Branch "XYZ"",
// "IdentificationAnswer", "Key 7" for the keys that send their own byte, "Unknown "\r"" for
// bytes that made none.
std::string CommandName(const Command& command);
// The name and the bytes, e.g. "Adjust up fast (Q)", as the simulator's console shows it.
std::string DescribeCommand(const Command& command);

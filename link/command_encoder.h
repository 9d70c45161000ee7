// Byte forms of the panel commands and of Branch To, and who is told when a command meets a lost
// control.
#pragma once
#include <cstdint>
#include <string_view>

#include "protocol/panel_command.h"
#include "protocol/command_table.h"

class LostControlReporter {
public:
    virtual void ReportLostControl() = 0;

protected:
    ~LostControlReporter() = default;
};

// Size of the buffer a byte form is formed in; the longest form is 13 bytes and a NUL.
constexpr int CommandBufferSize = 40;
// A Branch To command: the lead byte, the text, End and a NUL.
constexpr int BranchCommandSize = 1 + commands::BranchTextMax + 1 + 1;

// Length of the command's byte form in buf (NUL after it, not counted); 0 when it has none.
int EncodeCommand(const PanelCommand& command, char (&buf)[CommandBufferSize]);
// The Branch To command for the text, checked as commands::CheckBranchText does: its length in
// out (NUL after it, not counted), or 0 and nothing formed when the text may not go out.
int EncodeBranchCommand(std::string_view text, char (&out)[BranchCommandSize]);

// Byte forms of the panel commands, and who is told when a command meets a lost control.
#pragma once
#include <cstdint>

#include "link/panel_command.h"

class LostControlReporter {
public:
    virtual void ReportLostControl() = 0;

protected:
    ~LostControlReporter() = default;
};

// Size of the buffer a byte form is formed in; the longest form is 13 bytes and a NUL.
constexpr int CommandBufferSize = 40;

// Length of the command's byte form in buf (NUL after it, not counted); 0 when it has none.
int EncodeCommand(const PanelCommand& command, char (&buf)[CommandBufferSize]);

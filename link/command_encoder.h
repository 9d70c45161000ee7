// Byte forms of the panel commands and the command write with its lost-control rule.
#pragma once
#include <cstdint>

#include "link/byte_io.h"
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

// 0 when the command has no byte form (nothing written), otherwise 1 whatever the write did.
// A write that fails with nothing written counts as the control's loss when the pipe is gone
// or, for other failures, when a flush fails too; the reporter (null = none) is told then.
int32_t SendCommand(const PanelCommand& command, PipeWriter& pipe, LostControlReporter* reporter);

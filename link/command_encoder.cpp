// The panel commands' byte forms, as the command table has them, and the command write.
#include "link/command_encoder.h"

#include <cstdio>
#include <cstring>

#include "protocol/command_table.h"

int EncodeCommand(const PanelCommand& command, char (&buf)[CommandBufferSize]) {
    buf[0] = '\0';
    const commands::Row* row = commands::ForRequest(command);
    if (!row) return 0;
    if (row->form == commands::Form::Fixed) {
        const size_t n = std::strlen(row->bytes);
        std::memcpy(buf, row->bytes, n + 1);
        return static_cast<int>(n);
    }
    // Line numbers are 1-based on the wire; the increment wraps like the 32-bit value it is.
    const int32_t number = static_cast<int32_t>(static_cast<uint32_t>(command.argument) + 1u);
    const int n = std::snprintf(buf, sizeof buf, "%s%d%c", row->bytes, static_cast<int>(number), commands::End);
    return n > 0 && n < CommandBufferSize ? n : 0;
}

int32_t SendCommand(const PanelCommand& command, PipeWriter& pipe, LostControlReporter* reporter) {
    char buf[CommandBufferSize];
    const int length = EncodeCommand(command, buf);
    if (length == 0) return 0;
    uint32_t written = 0;
    const PipeWriter::WriteStatus status = pipe.Write(buf, static_cast<uint32_t>(length), &written);
    if (status == PipeWriter::WriteStatus::Ok || written != 0) return 1;
    // A flush proves nothing where the platform already said the pipe is gone (and under Wine
    // it succeeds on a broken pipe), so only a plain failure is settled by the flush.
    if (status == PipeWriter::WriteStatus::Failed && pipe.Flush()) return 1;
    if (reporter) reporter->ReportLostControl();
    return 1;
}

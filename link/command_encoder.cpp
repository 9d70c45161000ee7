// The panel commands' byte forms and the Branch To command, as the command table has them.
#include "link/command_encoder.h"

#include <cstdio>
#include <cstring>

// The command's buffer holds a one-byte lead.
static_assert(commands::ForKind(CommandKind::BranchTo)->bytes[1] == '\0');

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

int EncodeBranchCommand(std::string_view text, char (&out)[BranchCommandSize]) {
    out[0] = '\0';
    if (commands::CheckBranchText(text) != commands::BranchText::Ok) return 0;
    const commands::Row* row = commands::ForKind(CommandKind::BranchTo);
    const size_t lead = std::strlen(row->bytes);
    std::memcpy(out, row->bytes, lead);
    if (!text.empty()) std::memcpy(out + lead, text.data(), text.size());
    size_t n = lead + text.size();
    out[n++] = commands::End;
    out[n] = '\0';
    return static_cast<int>(n);
}

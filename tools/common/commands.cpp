// The reader's states over the command table's forms: a command begun by its lead byte ends
// with its form; a byte that breaks it off is reported and then read afresh.
#include "tools/common/commands.h"

#include "protocol/key_table.h"
#include "tools/common/escapes.h"

namespace {
namespace pc = panel_command;
constexpr size_t kMaxSelectDigits = 9;  // fits an int
constexpr size_t kMaxBranchText = commands::BranchTextReadMax;

bool IsDigit(char b) { return b >= '0' && b <= '9'; }

int DecimalValue(std::string_view digits) {
    int value = 0;
    for (char d : digits) value = value * 10 + (d - '0');
    return value;
}

Command Make(CommandKind kind, int value = 0, std::string text = {}) {
    Command c;
    c.kind = kind;
    c.value = value;
    c.text = std::move(text);
    return c;
}

std::string RowName(const commands::Row& row) {
    if (row.legendNamed) return std::string("Key ") + KeyTable::Legend(row.key);
    std::string name = row.name;
    if (row.detail) name += std::string(" ") + row.detail;
    if (row.speed) name += std::string(" ") + commands::SpeedName(row.speed);
    return name;
}
}  // namespace

void CommandReader::Reset() {
    open_ = nullptr;
    partial_.clear();
}

void CommandReader::Feed(std::string_view bytes, std::vector<Command>& out) {
    for (char b : bytes) Take(b, out);
}

void CommandReader::Emit(const commands::Row& row, std::vector<Command>& out) {
    Command command = Make(row.kind, row.value, partial_);
    if (row.speed) command.speed = static_cast<AdjustSpeed>(row.speed - pc::Slow);
    out.push_back(command);
    Reset();
}

void CommandReader::Abandon(std::vector<Command>& out) {
    out.push_back(Make(CommandKind::Unknown, 0, partial_));
    Reset();
}

void CommandReader::Take(char b, std::vector<Command>& out) {
    if (open_) {
        switch (open_->form) {
            case commands::Form::Numbered:
                if (b == commands::End && partial_.size() > 1) {
                    out.push_back(Make(open_->kind, DecimalValue(partial_.substr(1)), partial_ + b));
                    Reset();
                    return;
                }
                if (IsDigit(b) && partial_.size() < 1 + kMaxSelectDigits) {
                    partial_ += b;
                    return;
                }
                Abandon(out);
                break;  // the byte starts afresh
            case commands::Form::Text:
                if (b != commands::End) {
                    if (partial_.size() <= kMaxBranchText + 1) partial_ += b;  // a longer text is kept cut
                    return;
                }
                if (partial_.size() > kMaxBranchText + 1) {
                    Abandon(out);
                } else {
                    out.push_back(Make(open_->kind, 0, partial_.substr(1)));
                    Reset();
                }
                return;
            case commands::Form::Fixed:
                if (b == open_->bytes[partial_.size()]) {
                    partial_ += b;
                    if (open_->bytes[partial_.size()] == '\0') Emit(*open_, out);
                    return;
                }
                Abandon(out);
                break;
        }
    }
    const commands::Row* row = commands::ForLead(b);
    partial_.assign(1, b);
    if (!row) {
        Abandon(out);
    } else if (row->form == commands::Form::Fixed && row->bytes[1] == '\0') {
        Emit(*row, out);
    } else {
        open_ = row;
    }
}

const commands::Row* RowOf(const Command& command) {
    // The rows without a speed are the commands read with the normal one.
    const int32_t speed = command.kind == CommandKind::Adjust ? pc::Slow + static_cast<int32_t>(command.speed)
                          : command.speed == AdjustSpeed::Normal ? 0
                                                                 : -1;
    return commands::ForCommand(command.kind, command.value, speed);
}

std::string CommandName(const Command& command) {
    const commands::Row* kind = commands::ForKind(command.kind);
    switch (command.kind) {
        case CommandKind::SelectLine:
            return std::string(kind->name) + " " + std::to_string(command.value);
        case CommandKind::BranchTo:
            return std::string(kind->name) + " \"" + ShowBytes(command.text) + "\"";
        default:
            break;
    }
    const commands::Row* row = RowOf(command);
    return row ? RowName(*row) : "Unknown \"" + ShowBytes(command.text) + "\"";
}

std::string DescribeCommand(const Command& command) {
    const bool showsBytes = command.kind == CommandKind::BranchTo || command.kind == CommandKind::Unknown;
    return showsBytes ? CommandName(command) : CommandName(command) + " (" + ShowBytes(command.text) + ")";
}

// The byte table of single-byte commands and the small states of "p..\n", "q..\n" and "VFD".
#include "tools/common/commands.h"

#include "keypad/key_table.h"
#include "tools/common/escapes.h"

namespace {
// A key that sends its own byte is named by its legend; the others by their command.
struct ByteCommand {
    char byte;
    CommandKind kind;
    int value;
    AdjustSpeed speed;
    const char* name;  // null: "Key " and the legend of keyId
    int32_t keyId;
};
constexpr ByteCommand kBytes[] = {
    {'H', CommandKind::CursorLeft, 0, AdjustSpeed::Normal, "CursorKey left", 0},
    {'K', CommandKind::CursorUp, 0, AdjustSpeed::Normal, "CursorKey up", 0},
    {'L', CommandKind::CursorRight, 0, AdjustSpeed::Normal, "CursorKey right", 0},
    {'J', CommandKind::CursorDown, 0, AdjustSpeed::Normal, "CursorKey down", 0},
    {'o', CommandKind::LineUp, 0, AdjustSpeed::Normal, "ScrollLine up", 0},
    {'O', CommandKind::LineDown, 0, AdjustSpeed::Normal, "ScrollLine down", 0},
    {'Z', CommandKind::Adjust, 1, AdjustSpeed::Slow, "Adjust up slow", 0},
    {'X', CommandKind::Adjust, -1, AdjustSpeed::Slow, "Adjust down slow", 0},
    {'A', CommandKind::Adjust, 1, AdjustSpeed::Normal, "Adjust up normal", 0},
    {'S', CommandKind::Adjust, -1, AdjustSpeed::Normal, "Adjust down normal", 0},
    {'Q', CommandKind::Adjust, 1, AdjustSpeed::Fast, "Adjust up fast", 0},
    {'W', CommandKind::Adjust, -1, AdjustSpeed::Fast, "Adjust down fast", 0},
    {'P', CommandKind::Exit, 0, AdjustSpeed::Normal, "ExitKey", 0},
    {'.', CommandKind::Point, 0, AdjustSpeed::Normal, nullptr, 2021},
    {'-', CommandKind::Neg, 0, AdjustSpeed::Normal, nullptr, 2020},
    {':', CommandKind::Serv, 0, AdjustSpeed::Normal, nullptr, 2022},
    {'\n', CommandKind::Enter, 0, AdjustSpeed::Normal, nullptr, 2023},
    {'B', CommandKind::Fast, 0, AdjustSpeed::Normal, nullptr, KeyTable::FastId},
    {'C', CommandKind::Slow, 0, AdjustSpeed::Normal, nullptr, KeyTable::SlowId},
};
constexpr int32_t kDigitZeroId = 2010;

constexpr char kIdent[] = "VFD";
constexpr size_t kIdentLength = sizeof(kIdent) - 1;
constexpr size_t kMaxSelectDigits = 9;  // fits an int
constexpr size_t kMaxBranchText = 64;

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

std::string KeyName(int32_t keyId) { return std::string("Key ") + KeyTable::Legend[KeyTable::Index(keyId)]; }
}  // namespace

void CommandReader::Reset() {
    state_ = State::Idle;
    partial_.clear();
}

void CommandReader::Feed(std::string_view bytes, std::vector<Command>& out) {
    for (char b : bytes) Take(b, out);
}

void CommandReader::Abandon(std::vector<Command>& out) {
    out.push_back(Make(CommandKind::Unknown, 0, partial_));
    Reset();
}

void CommandReader::Take(char b, std::vector<Command>& out) {
    switch (state_) {
        case State::Select:
            if (b == '\n' && partial_.size() > 1) {
                out.push_back(Make(CommandKind::SelectLine, DecimalValue(partial_.substr(1)), partial_ + b));
                Reset();
                return;
            }
            if (IsDigit(b) && partial_.size() < 1 + kMaxSelectDigits) {
                partial_ += b;
                return;
            }
            Abandon(out);
            break;  // the byte starts afresh
        case State::Branch:
            if (b != '\n') {
                if (partial_.size() <= kMaxBranchText + 1) partial_ += b;  // a longer text is kept cut
                return;
            }
            if (partial_.size() > kMaxBranchText + 1) {
                Abandon(out);
            } else {
                out.push_back(Make(CommandKind::BranchTo, 0, partial_.substr(1)));
                Reset();
            }
            return;
        case State::Ident:
            if (b == kIdent[partial_.size()]) {
                partial_ += b;
                if (partial_.size() == kIdentLength) {
                    out.push_back(Make(CommandKind::Identification, 0, partial_));
                    Reset();
                }
                return;
            }
            Abandon(out);
            break;
        case State::Idle:
            break;
    }
    if (b == 'p' || b == 'q' || b == kIdent[0]) {
        state_ = b == 'p' ? State::Select : b == 'q' ? State::Branch : State::Ident;
        partial_.assign(1, b);
        return;
    }
    if (IsDigit(b)) {
        out.push_back(Make(CommandKind::Digit, b - '0', std::string(1, b)));
        return;
    }
    for (const ByteCommand& c : kBytes) {
        if (c.byte == b) {
            Command command = Make(c.kind, c.value, std::string(1, b));
            command.speed = c.speed;
            out.push_back(command);
            return;
        }
    }
    out.push_back(Make(CommandKind::Unknown, 0, std::string(1, b)));
}

std::string CommandName(const Command& command) {
    switch (command.kind) {
        case CommandKind::SelectLine:
            return "SelectLine " + std::to_string(command.value);
        case CommandKind::BranchTo:
            return "Branch \"" + ShowBytes(command.text) + "\"";
        case CommandKind::Digit:
            if (command.value < 0 || command.value > 9) break;
            return KeyName(kDigitZeroId + command.value);
        case CommandKind::Identification:
            return "IdentificationAnswer";
        case CommandKind::Unknown:
            return "Unknown \"" + ShowBytes(command.text) + "\"";
        default:
            break;
    }
    for (const ByteCommand& c : kBytes) {
        if (c.kind == command.kind && c.value == command.value && c.speed == command.speed)
            return c.name ? c.name : KeyName(c.keyId);
    }
    return "Unknown \"" + ShowBytes(command.text) + "\"";
}

std::string DescribeCommand(const Command& command) {
    const bool showsBytes = command.kind == CommandKind::BranchTo || command.kind == CommandKind::Unknown;
    return showsBytes ? CommandName(command) : CommandName(command) + " (" + ShowBytes(command.text) + ")";
}

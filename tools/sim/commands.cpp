// The byte table of single-byte commands and the small states of "p..\n", "q..\n" and "VFD".
#include "tools/sim/commands.h"

#include "tools/sim/escapes.h"

namespace {
struct ByteCommand {
    char byte;
    CommandKind kind;
    int value;
    AdjustSpeed speed;
    const char* name;
};
constexpr ByteCommand kBytes[] = {
    {'H', CommandKind::CursorLeft, 0, AdjustSpeed::Normal, "cursor left"},
    {'K', CommandKind::CursorUp, 0, AdjustSpeed::Normal, "cursor up"},
    {'L', CommandKind::CursorRight, 0, AdjustSpeed::Normal, "cursor right"},
    {'J', CommandKind::CursorDown, 0, AdjustSpeed::Normal, "cursor down"},
    {'o', CommandKind::LineUp, 0, AdjustSpeed::Normal, "LINE UP"},
    {'O', CommandKind::LineDown, 0, AdjustSpeed::Normal, "LINE DOWN"},
    {'Z', CommandKind::Adjust, 1, AdjustSpeed::Slow, "ADJUST up slow"},
    {'X', CommandKind::Adjust, -1, AdjustSpeed::Slow, "ADJUST down slow"},
    {'A', CommandKind::Adjust, 1, AdjustSpeed::Normal, "ADJUST up"},
    {'S', CommandKind::Adjust, -1, AdjustSpeed::Normal, "ADJUST down"},
    {'Q', CommandKind::Adjust, 1, AdjustSpeed::Fast, "ADJUST up fast"},
    {'W', CommandKind::Adjust, -1, AdjustSpeed::Fast, "ADJUST down fast"},
    {'P', CommandKind::Exit, 0, AdjustSpeed::Normal, "EXIT"},
    {'.', CommandKind::Point, 0, AdjustSpeed::Normal, "decimal point"},
    {'-', CommandKind::Neg, 0, AdjustSpeed::Normal, "NEG"},
    {':', CommandKind::Serv, 0, AdjustSpeed::Normal, "SERV/DEBUG"},
    {'\n', CommandKind::Enter, 0, AdjustSpeed::Normal, "ENTER"},
    {'B', CommandKind::Fast, 0, AdjustSpeed::Normal, "FAST"},
    {'C', CommandKind::Slow, 0, AdjustSpeed::Normal, "SLOW"},
};

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

std::string DescribeCommand(const Command& command) {
    std::string shown = " (" + ShowBytes(command.text) + ")";
    switch (command.kind) {
        case CommandKind::SelectLine:
            return "select line " + std::to_string(command.value) + shown;
        case CommandKind::BranchTo:
            return "branch to \"" + ShowBytes(command.text) + "\"";
        case CommandKind::Digit:
            return "digit " + std::to_string(command.value);
        case CommandKind::Identification:
            return "identification answer" + shown;
        case CommandKind::Unknown:
            return "unknown bytes" + shown;
        default:
            break;
    }
    for (const ByteCommand& c : kBytes) {
        if (c.kind == command.kind && c.value == command.value && c.speed == command.speed) return c.name + shown;
    }
    return "command" + shown;
}

// The headless panel's script commands and their checks: legends from the key table, computer
// keys by code, letter or name, lines and rows 1..20, Branch To texts as the dialog takes them.
#include "tools/headless/headless_script.h"

#include <algorithm>
#include <cctype>

#include "keypad/key_bindings.h"
#include "protocol/command_table.h"
#include "protocol/key_table.h"
#include "tools/common/texts.h"

namespace {
constexpr ScriptCommand kCommands[] = {
    {"key", static_cast<int>(HeadlessKind::Key), ArgForm::Name},
    {"keyboard", static_cast<int>(HeadlessKind::Keyboard), ArgForm::Name},
    {"click", static_cast<int>(HeadlessKind::Click), ArgForm::Number},
    {"branch", static_cast<int>(HeadlessKind::Branch), ArgForm::Bytes},
    {"expect", static_cast<int>(HeadlessKind::Expect), ArgForm::BytesThenOptionalMs},
    {"expect-line", static_cast<int>(HeadlessKind::ExpectLine), ArgForm::NumberThenBytesThenOptionalMs},
    {"expect-screen", static_cast<int>(HeadlessKind::ExpectScreen), ArgForm::NameThenOptionalMs},
    {"screen", static_cast<int>(HeadlessKind::Screen), ArgForm::None},
    {"expect-exit", static_cast<int>(HeadlessKind::ExpectExit), ArgForm::OptionalMs},
    {"wait", static_cast<int>(HeadlessKind::Wait), ArgForm::Ms},
};
constexpr size_t kCommandCount = sizeof(kCommands) / sizeof(kCommands[0]);

constexpr uint32_t kMaxVirtualKey = 255;

struct VirtualKeyName {
    const char* name;
    uint32_t code;
};
namespace vk = virtual_key;
constexpr VirtualKeyName kVirtualKeyNames[] = {
    {"BACK", vk::Back},         {"RETURN", vk::Return},       {"SHIFT", vk::Shift},
    {"CONTROL", vk::Control},   {"ESCAPE", vk::Escape},       {"PRIOR", vk::Prior},
    {"NEXT", vk::Next},         {"LEFT", vk::Left},           {"UP", vk::Up},
    {"RIGHT", vk::Right},       {"DOWN", vk::Down},           {"INSERT", vk::Insert},
    {"DELETE", vk::Delete},     {"SUBTRACT", vk::Subtract},   {"DECIMAL", vk::Decimal},
    {"OEM_1", vk::Oem1},        {"OEM_MINUS", vk::OemMinus},  {"OEM_PERIOD", vk::OemPeriod},
    {"F1", vk::F1},
};
constexpr char kNumpadPrefix[] = "NUMPAD";
constexpr char kVkPrefix[] = "VK_";

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

int32_t KeyByLegend(const std::string& legend) {
    const std::string wanted = Upper(legend);
    for (const KeyRow& key : KeyTable::Rows)
        if (wanted == key.legend) return key.id;
    return 0;
}

// A code (decimal), one letter or digit (its own code), or a name with or without "VK_".
int64_t VirtualKeyCode(const std::string& text) {
    std::string name = Upper(text);
    bool digits = !name.empty();
    for (char c : name) digits = digits && c >= '0' && c <= '9';
    if (digits && name.size() > 1) {
        int64_t code = 0;
        for (char c : name) {
            code = code * 10 + (c - '0');
            if (code > kMaxVirtualKey) return -1;
        }
        return code;
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) return name[0];
    if (name.compare(0, sizeof(kVkPrefix) - 1, kVkPrefix) == 0) name.erase(0, sizeof(kVkPrefix) - 1);
    for (const VirtualKeyName& n : kVirtualKeyNames)
        if (name == n.name) return n.code;
    if (name.size() == sizeof(kNumpadPrefix) && name.compare(0, sizeof(kNumpadPrefix) - 1, kNumpadPrefix) == 0 &&
        name.back() >= '0' && name.back() <= '9')
        return vk::Numpad0 + (name.back() - '0');
    return -1;
}

// "character 2 is \x0A": the first byte a Branch To text may not carry, where it is.
std::string ControlByteDetail(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (!commands::InBranchText(text[i]))
            return "character " + std::to_string(i + 1) + " is \\x" + kHex[b >> 4] + kHex[b & 15];
    }
    return std::string();
}

bool InRows(uint32_t n) { return n >= 1 && n <= static_cast<uint32_t>(screen::Lines); }

unsigned Check(const ScriptLine& line, const ScreenFileReader& readScreen, HeadlessStep& step, std::string& detail) {
    step.kind = static_cast<HeadlessKind>(line.kind);
    step.line = line.line;
    step.text = line.text;
    step.timeoutMs = line.timeoutMs;
    step.value = static_cast<int32_t>(line.number);
    detail = line.text;
    switch (step.kind) {
        case HeadlessKind::Key:
            step.value = KeyByLegend(line.text);
            return step.value ? tool_text::Ok : tool_text::UnknownKey;
        case HeadlessKind::Keyboard: {
            const int64_t code = VirtualKeyCode(line.text);
            step.value = static_cast<int32_t>(code);
            return code >= 0 ? tool_text::Ok : tool_text::UnknownVirtualKey;
        }
        case HeadlessKind::Click:
            detail = std::to_string(line.number);
            return InRows(line.number) ? tool_text::Ok : tool_text::LineOutOfRange;
        case HeadlessKind::ExpectLine:
            detail = std::to_string(line.number);
            if (!InRows(line.number)) return tool_text::LineOutOfRange;
            detail = std::to_string(line.text.size()) + " characters";
            return line.text.size() <= static_cast<size_t>(screen::Columns) ? tool_text::Ok : tool_text::TextTooLong;
        case HeadlessKind::Branch:
            // As the dialog takes it: capitals, and refused rather than cut or split.
            step.text = Upper(line.text);
            switch (commands::CheckBranchText(line.text)) {
                case commands::BranchText::Ok: return tool_text::Ok;
                case commands::BranchText::TooLong: return tool_text::BranchTooLong;
                case commands::BranchText::ControlByte: break;
            }
            detail = ControlByteDetail(line.text);
            return tool_text::BranchControlByte;
        case HeadlessKind::Expect:
            detail = std::to_string(line.text.size()) + " characters";
            return line.text.size() <= MaxExpectText ? tool_text::Ok : tool_text::TextTooLong;
        case HeadlessKind::ExpectScreen: {
            std::string content;
            if (!readScreen(line.text, content)) return tool_text::ScreenUnreadable;
            int bad = 0;
            const unsigned id = ParseScreenFile(content, step.screen, &bad);
            if (id != tool_text::Ok) detail = ShortDetail(line.text) + " line " + std::to_string(bad);
            return id;
        }
        default:
            return tool_text::Ok;
    }
}

// Up to three digits at the front of `text`, removed; -1 when there are none.
int TakeNumber(std::string_view& text) {
    int n = -1;
    size_t i = 0;
    while (i < text.size() && i < 3 && text[i] >= '0' && text[i] <= '9') n = (n < 0 ? 0 : n * 10) + (text[i++] - '0');
    text.remove_prefix(i);
    return n;
}

// "cursor line LINE column COLUMN", numbered from 1 as lines are everywhere else, or the older
// "cursor ROW COLUMN" numbered from 0, which the tools printed before and is still read so.
bool ParseCursor(std::string_view text, ExpectedScreen& screen) {
    constexpr std::string_view kWord = "cursor ";
    constexpr std::string_view kLine = "line ";
    constexpr std::string_view kColumn = " column ";
    if (screen.checkCursor || text.substr(0, kWord.size()) != kWord) return false;
    text.remove_prefix(kWord.size());
    const bool older = text.substr(0, kLine.size()) != kLine;
    if (!older) text.remove_prefix(kLine.size());
    const std::string_view between = older ? std::string_view(" ") : kColumn;
    const int from = older ? 0 : 1;
    const int row = TakeNumber(text) - from;
    if (text.substr(0, between.size()) != between) return false;
    text.remove_prefix(between.size());
    const int column = TakeNumber(text) - from;
    if (!text.empty() || row < 0 || column < 0 || row >= screen::Lines || column > MaxCursorColumn) return false;
    screen.row = row;
    screen.column = column;
    screen.checkCursor = true;
    screen.olderCursor = older;
    return true;
}

// "mask C" with one visible character.
bool ParseMask(std::string_view text, ExpectedScreen& screen) {
    constexpr std::string_view kWord = "mask ";
    if (screen.mask || text.size() != kWord.size() + 1 || text.substr(0, kWord.size()) != kWord) return false;
    const char c = text.back();
    if (c <= ' ' || c > '~') return false;
    screen.mask = c;
    return true;
}
}  // namespace

unsigned ParseScreenFile(std::string_view text, ExpectedScreen& screen, int* badLine) {
    screen = ExpectedScreen();
    int number = 0;
    while (!text.empty()) {
        ++number;
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
        if (badLine) *badLine = number;
        if (number <= screen::Lines) {
            if (line.size() > static_cast<size_t>(screen::Columns)) return tool_text::ScreenLineTooLong;
            // A file short of lines would take its cursor line for screen text.
            ExpectedScreen probe;
            if (ParseCursor(line, probe) || ParseMask(line, probe)) return tool_text::ScreenLineMisplaced;
            screen.lines[number - 1] = std::string(line);
        } else if (!line.empty() && !ParseCursor(line, screen) && !ParseMask(line, screen)) {
            return tool_text::ScreenBadShape;
        }
    }
    if (number < screen::Lines) return tool_text::ScreenShort;
    if (badLine) *badLine = 0;
    return tool_text::Ok;
}

unsigned ParseHeadlessScript(std::string_view text, const ScreenFileReader& readScreen,
                             std::vector<HeadlessStep>& steps, ScriptReport& report) {
    steps.clear();
    std::vector<ScriptLine> lines;
    ParseScriptLines(text, kCommands, kCommandCount, lines, report);
    for (const ScriptLine& line : lines) {
        HeadlessStep step;
        std::string detail;
        const unsigned id = Check(line, readScreen, step, detail);
        if (id != tool_text::Ok) {
            report.errors.push_back({line.line, id, ShortDetail(detail)});
        } else {
            if (step.kind == HeadlessKind::ExpectScreen && step.screen.olderCursor)
                report.notes.push_back({line.line, tool_text::ScreenOlderCursor, ShortDetail(line.text)});
            steps.push_back(std::move(step));
        }
    }
    std::stable_sort(report.errors.begin(), report.errors.end(),
                     [](const ScriptError& a, const ScriptError& b) { return a.line < b.line; });
    if (report.errors.empty()) return tool_text::Ok;
    steps.clear();
    return report.errors.front().id;
}

const char* HeadlessStepName(HeadlessKind kind) {
    for (const ScriptCommand& c : kCommands)
        if (c.kind == static_cast<int>(kind)) return c.name;
    return "?";
}

std::string HeadlessCommandNames() { return CommandNames(kCommands, kCommandCount); }

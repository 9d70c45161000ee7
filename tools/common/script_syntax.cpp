// Script line parsing: each line is split into a command word and its argument text, and the
// argument is read by the command's form.
#include "tools/common/script_syntax.h"

#include "tools/common/escapes.h"
#include "tools/common/texts.h"

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    return s;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

unsigned ParseDecimal(std::string_view word, uint32_t limit, unsigned tooLarge, uint32_t& out) {
    if (!AllDigits(word)) return tool_text::BadNumber;
    uint64_t value = 0;
    for (char c : word) {
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > limit) return tooLarge;
    }
    out = static_cast<uint32_t>(value);
    return tool_text::Ok;
}

unsigned ParseMs(std::string_view word, uint32_t& ms) {
    return ParseDecimal(word, MaxScriptMs, tool_text::NumberTooLarge, ms);
}

unsigned ParseBytes(std::string_view text, std::string& bytes, std::string& detail) {
    if (text.empty()) return tool_text::MissingBytes;
    size_t at = 0;
    unsigned id = DecodeEscapes(text, bytes, &at);
    if (id != tool_text::Ok) detail = std::string(text.substr(at, 8));
    return id;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

unsigned ParseName(std::string_view text, std::string& name) {
    if (text.empty()) return tool_text::MissingBytes;
    name = std::string(text);
    return tool_text::Ok;
}

// The last blank-separated word of `text` and what stands before it (right-trimmed).
std::string_view SplitLastWord(std::string_view text, std::string_view& before) {
    const size_t blank = text.find_last_of(" \t");
    if (blank == std::string_view::npos) return {};
    before = TrimRight(text.substr(0, blank));
    return text.substr(blank + 1);
}

// Splits off "within MS", or else a last word of digits (with a note), as the time-out when
// text stands before it.
unsigned SplitTimeOut(std::string_view& text, ScriptLine& line, std::string& detail, bool& bare) {
    line.timeoutMs = DefaultExpectMs;
    std::string_view before;
    const std::string_view number = SplitLastWord(text, before);
    if (!AllDigits(number) || before.empty()) return tool_text::Ok;
    std::string_view beforeWithin;
    const bool within = SplitLastWord(before, beforeWithin) == WithinWord && !beforeWithin.empty();
    detail = std::string(number);
    const unsigned id = ParseMs(number, line.timeoutMs);
    if (id != tool_text::Ok) return id;
    text = within ? beforeWithin : before;
    bare = !within;
    return tool_text::Ok;
}

// Byte texts keep their inner blanks; trailing blanks are dropped (write \x20 to send one).
// `bare` tells that a last word of digits was taken as the time-out without "within".
unsigned ParseArgument(ArgForm form, std::string_view arg, ScriptLine& line, std::string& detail, bool& bare) {
    std::string_view trimmed = TrimRight(arg);
    switch (form) {
        case ArgForm::None:
            detail = std::string(trimmed);
            return trimmed.empty() ? tool_text::Ok : tool_text::UnexpectedArgument;
        case ArgForm::Bytes:
            return ParseBytes(trimmed, line.text, detail);
        case ArgForm::BytesThenOptionalMs: {
            unsigned id = SplitTimeOut(trimmed, line, detail, bare);
            return id != tool_text::Ok ? id : ParseBytes(trimmed, line.text, detail);
        }
        case ArgForm::Ms:
            detail = std::string(trimmed);
            return trimmed.empty() ? tool_text::MissingNumber : ParseMs(trimmed, line.timeoutMs);
        case ArgForm::OptionalMs: {
            line.timeoutMs = DefaultExpectMs;
            std::string_view before;
            const std::string_view last = SplitLastWord(trimmed, before);
            const std::string_view number = before == WithinWord ? last : trimmed;
            detail = std::string(number);
            return trimmed.empty() ? tool_text::Ok : ParseMs(number, line.timeoutMs);
        }
        case ArgForm::Name:
            return ParseName(trimmed, line.text);
        case ArgForm::NameThenOptionalMs: {
            unsigned id = SplitTimeOut(trimmed, line, detail, bare);
            return id != tool_text::Ok ? id : ParseName(trimmed, line.text);
        }
        case ArgForm::Number:
            detail = std::string(trimmed);
            if (trimmed.empty()) return tool_text::MissingNumber;
            return ParseDecimal(trimmed, MaxScriptNumber, tool_text::NumberTooLarge, line.number);
        case ArgForm::NumberThenBytesThenOptionalMs: {
            size_t end = 0;
            while (end < trimmed.size() && !IsBlank(trimmed[end])) ++end;
            detail = std::string(trimmed.substr(0, end));
            if (end == 0) return tool_text::MissingNumber;
            unsigned id = ParseDecimal(trimmed.substr(0, end), MaxScriptNumber, tool_text::NumberTooLarge, line.number);
            if (id != tool_text::Ok) return id;
            std::string_view rest = trimmed.substr(end);
            if (!rest.empty()) rest.remove_prefix(1);  // the one blank that separates the number
            detail.clear();
            return ParseArgument(ArgForm::BytesThenOptionalMs, rest, line, detail, bare);
        }
    }
    return tool_text::Ok;
}

unsigned ParseLine(std::string_view text, int number, const ScriptCommand* commands, size_t count,
                   std::vector<ScriptLine>& lines, std::string& detail, bool& bare) {
    std::string_view rest = TrimLeft(text);
    if (rest.empty() || rest.front() == '#') return tool_text::Ok;
    size_t end = 0;
    while (end < rest.size() && !IsBlank(rest[end])) ++end;
    std::string_view word = rest.substr(0, end);
    std::string_view arg = rest.substr(end);
    if (!arg.empty()) arg.remove_prefix(1);  // the one blank that separates the word
    for (size_t i = 0; i < count; ++i) {
        if (word != commands[i].name) continue;
        ScriptLine line;
        line.kind = commands[i].kind;
        line.line = number;
        unsigned id = ParseArgument(commands[i].form, arg, line, detail, bare);
        if (id == tool_text::Ok) lines.push_back(std::move(line));
        return id;
    }
    detail = std::string(word);
    return tool_text::UnknownScriptCommand;
}
}  // namespace

unsigned ParseScriptLines(std::string_view text, const ScriptCommand* commands, size_t count,
                          std::vector<ScriptLine>& lines, ScriptReport& report) {
    lines.clear();
    report = ScriptReport();
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
    int number = 0;
    while (!text.empty()) {
        ++number;
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::string detail;
        bool bare = false;
        const unsigned id = ParseLine(line, number, commands, count, lines, detail, bare);
        if (id != tool_text::Ok) {
            report.errors.push_back({number, id, ShortDetail(detail)});
        } else if (bare) {
            report.notes.push_back({number, tool_text::BareTimeOut, std::to_string(lines.back().timeoutMs)});
        }
    }
    if (report.errors.empty() && lines.empty()) report.errors.push_back({0, tool_text::EmptyScript, ""});
    return report.errors.empty() ? tool_text::Ok : report.errors.front().id;
}

std::string ShortDetail(std::string_view text) {
    return text.size() <= MaxDetail ? std::string(text) : std::string(text.substr(0, MaxDetail)) + "...";
}

std::string CommandNames(const ScriptCommand* commands, size_t count) {
    std::string names;
    for (size_t i = 0; i < count; ++i) names += (i ? " " : "") + std::string(commands[i].name);
    return names;
}

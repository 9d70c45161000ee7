// Script parsing: each line is split into a command word and its argument text.
#include "tools/sim/script.h"

#include "tools/sim/escapes.h"
#include "tools/sim/texts.h"

namespace {
enum class ArgForm { None, Bytes, BytesThenOptionalMs, Ms, OptionalMs };

struct CommandDef {
    const char* name;
    StepKind kind;
    ArgForm form;
};
constexpr CommandDef kCommands[] = {
    {"send", StepKind::Send, ArgForm::Bytes},
    {"expect", StepKind::Expect, ArgForm::BytesThenOptionalMs},
    {"wait", StepKind::Wait, ArgForm::Ms},
    {"close", StepKind::Close, ArgForm::None},
    {"expect-closed", StepKind::ExpectClosed, ArgForm::OptionalMs},
};

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

unsigned ParseMs(std::string_view word, uint32_t& ms) {
    if (!AllDigits(word)) return sim_text::BadNumber;
    uint64_t value = 0;
    for (char c : word) {
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > MaxScriptMs) return sim_text::NumberTooLarge;
    }
    ms = static_cast<uint32_t>(value);
    return sim_text::Ok;
}

unsigned ParseBytes(std::string_view text, std::string& bytes, std::string& detail) {
    if (text.empty()) return sim_text::MissingBytes;
    size_t at = 0;
    unsigned id = DecodeEscapes(text, bytes, &at);
    if (id != sim_text::Ok) detail = std::string(text.substr(at, 8));
    return id;
}

// Byte texts keep their inner blanks; trailing blanks are dropped (write \x20 to send one).
unsigned ParseArgument(ArgForm form, std::string_view arg, ScriptStep& step, std::string& detail) {
    std::string_view trimmed = TrimRight(arg);
    switch (form) {
        case ArgForm::None:
            detail = std::string(trimmed);
            return trimmed.empty() ? sim_text::Ok : sim_text::UnexpectedArgument;
        case ArgForm::Bytes:
            return ParseBytes(trimmed, step.bytes, detail);
        case ArgForm::BytesThenOptionalMs: {
            step.timeoutMs = DefaultExpectMs;
            size_t blank = trimmed.find_last_of(" \t");
            if (blank != std::string_view::npos && AllDigits(trimmed.substr(blank + 1))) {
                std::string_view bytesText = TrimRight(trimmed.substr(0, blank));
                if (!bytesText.empty()) {
                    detail = std::string(trimmed.substr(blank + 1));
                    unsigned id = ParseMs(trimmed.substr(blank + 1), step.timeoutMs);
                    return id != sim_text::Ok ? id : ParseBytes(bytesText, step.bytes, detail);
                }
            }
            return ParseBytes(trimmed, step.bytes, detail);
        }
        case ArgForm::Ms:
            detail = std::string(trimmed);
            return trimmed.empty() ? sim_text::MissingNumber : ParseMs(trimmed, step.timeoutMs);
        case ArgForm::OptionalMs:
            step.timeoutMs = DefaultExpectMs;
            detail = std::string(trimmed);
            return trimmed.empty() ? sim_text::Ok : ParseMs(trimmed, step.timeoutMs);
    }
    return sim_text::Ok;
}

unsigned ParseLine(std::string_view line, int number, std::vector<ScriptStep>& steps, std::string& detail) {
    std::string_view rest = TrimLeft(line);
    if (rest.empty() || rest.front() == '#') return sim_text::Ok;
    size_t end = 0;
    while (end < rest.size() && !IsBlank(rest[end])) ++end;
    std::string_view word = rest.substr(0, end);
    std::string_view arg = rest.substr(end);
    if (!arg.empty()) arg.remove_prefix(1);  // the one blank that separates the word
    for (const CommandDef& c : kCommands) {
        if (word != c.name) continue;
        ScriptStep step{c.kind, {}, 0, number};
        unsigned id = ParseArgument(c.form, arg, step, detail);
        if (id == sim_text::Ok) steps.push_back(step);
        return id;
    }
    detail = std::string(word);
    return sim_text::UnknownScriptCommand;
}
}  // namespace

const char* StepName(StepKind kind) {
    for (const CommandDef& c : kCommands) {
        if (c.kind == kind) return c.name;
    }
    return "?";
}

unsigned ParseScript(std::string_view text, std::vector<ScriptStep>& steps, ScriptError& error) {
    steps.clear();
    int number = 0;
    while (!text.empty()) {
        ++number;
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::string detail;
        unsigned id = ParseLine(line, number, steps, detail);
        if (id != sim_text::Ok) {
            error = {number, id, detail};
            return id;
        }
    }
    return sim_text::Ok;
}

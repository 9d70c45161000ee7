// Script lines shared by the tools' test scripts: a command word and its argument, # comments,
// blank lines, CRLF ends, a UTF-8 byte-order mark, escaped byte texts, and "within MS" (or, in
// older scripts, a last word of digits) as a time-out.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class ArgForm {
    None,                       // nothing after the word
    Bytes,                      // escaped text
    BytesThenOptionalMs,        // escaped text, then an optional time-out
    Ms,                         // a number of milliseconds
    OptionalMs,                 // a number of milliseconds or nothing
    Name,                       // plain text as written (names, file paths)
    NameThenOptionalMs,         // plain text, then an optional time-out
    Number,                     // a decimal number
    NumberThenBytesThenOptionalMs,  // a decimal number, then as BytesThenOptionalMs
};

struct ScriptCommand {
    const char* name;
    int kind;  // the tool's own step kind
    ArgForm form;
};

struct ScriptLine {
    int kind = 0;
    std::string text;        // Bytes: decoded bytes; Name: the text as written
    uint32_t number = 0;     // Number forms
    uint32_t timeoutMs = 0;  // Ms forms: the value; optional ones default to DefaultExpectMs
    int line = 0;            // 1-based line of the script
};

struct ScriptError {
    int line = 0;  // 0: the script as a whole
    unsigned id = 0;
    std::string detail;  // the offending piece of the line, at most MaxDetail bytes and "..."
};

// Every error of a script, and notes on lines that are read but may not say what was meant.
struct ScriptReport {
    std::vector<ScriptError> errors;
    std::vector<ScriptError> notes;
};

constexpr uint32_t DefaultExpectMs = 3000;
constexpr uint32_t MaxScriptMs = 3600000;
constexpr uint32_t MaxScriptNumber = 999999;
constexpr size_t MaxDetail = 40;
constexpr char WithinWord[] = "within";

// Parses a whole script against a table of commands. Returns 0 or the text id of the first
// error; `report` gets every error (a script without a step is one) and the notes, and `lines`
// the lines that were read well. In the
// OptionalMs forms the argument may end in "within MS"; without it a last blank-separated word
// of digits is still the time-out, with a note, since it may have been meant as text.
unsigned ParseScriptLines(std::string_view text, const ScriptCommand* commands, size_t count,
                          std::vector<ScriptLine>& lines, ScriptReport& report);

// A piece of a line for a message: at most MaxDetail bytes, then "...".
std::string ShortDetail(std::string_view text);

// The command names of a table, blank-separated, for messages.
std::string CommandNames(const ScriptCommand* commands, size_t count);

// Script lines shared by the tools' test scripts: a command word and its argument, # comments,
// blank lines, CRLF ends, escaped byte texts, and a last word of digits as a time-out.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class ArgForm {
    None,                       // nothing after the word
    Bytes,                      // escaped text
    BytesThenOptionalMs,        // escaped text, then a time-out when the last word is digits
    Ms,                         // a number of milliseconds
    OptionalMs,                 // a number of milliseconds or nothing
    Name,                       // plain text as written (names, file paths)
    NameThenOptionalMs,         // plain text, then a time-out when the last word is digits
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
    int line = 0;
    unsigned id = 0;
    std::string detail;  // the offending piece of the line
};

constexpr uint32_t DefaultExpectMs = 3000;
constexpr uint32_t MaxScriptMs = 3600000;
constexpr uint32_t MaxScriptNumber = 999999;

// Parses a whole script against a table of commands. Returns 0 or a text id with the first
// error in `error`. In the OptionalMs forms a last blank-separated word of digits is the
// time-out; write a space before digits that belong to the text as \x20.
unsigned ParseScriptLines(std::string_view text, const ScriptCommand* commands, size_t count,
                          std::vector<ScriptLine>& lines, ScriptError& error);

// The command names of a table, blank-separated, for messages.
std::string CommandNames(const ScriptCommand* commands, size_t count);

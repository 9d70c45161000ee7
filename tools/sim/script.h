// Test scripts: one step a line (send, expect, wait, close, expect-closed, # comments).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/common/script_syntax.h"

enum class StepKind { Send, Expect, Wait, Close, ExpectClosed };

struct ScriptStep {
    StepKind kind;
    std::string bytes;       // Send, Expect: decoded bytes
    uint32_t timeoutMs = 0;  // Expect, ExpectClosed: time-out; Wait: duration
    int line = 0;            // 1-based line of the script
};

// Name of a step kind as written in scripts.
const char* StepName(StepKind kind);

// Parses a whole script. Returns 0 or a text id with the first error in `error`.
// In expect lines a last blank-separated word of digits is the time-out; write a
// space before digits that belong to the bytes as \x20.
unsigned ParseScript(std::string_view text, std::vector<ScriptStep>& steps, ScriptError& error);

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

// Parses a whole script. Returns 0 or the text id of the first error; `report` gets them all
// and the notes. Steps come out only from a script without errors.
unsigned ParseScript(std::string_view text, std::vector<ScriptStep>& steps, ScriptReport& report);

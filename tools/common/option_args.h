// Command lines of the tools: a table of options, each with or without a value, walked in order.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

struct OptionDef {
    const char* name;
    int id;  // the tool's own option id
    bool takesValue;
};

// Walks argv[first..argc-1]; for each option calls apply(id, value) ("" without a value), which
// returns 0 or a text id. Returns 0 or the first text id; `detail` then names the argument
// (and its value).
unsigned WalkOptions(int argc, const char* const* argv, int first, const OptionDef* defs, size_t count,
                     const std::function<unsigned(int id, const char* value)>& apply, std::string& detail);

// A decimal number from `low` to `high`, or -1.
int64_t DecimalArg(const char* text, int64_t low, int64_t high);

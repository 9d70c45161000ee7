// Command line of quorvex-sim: --device N, --script FILE, --timeout MS, --help.
#pragma once
#include <cstdint>
#include <string>

struct SimOptions {
    int device = 2;
    std::string scriptPath;     // empty: run the interactive controller
    uint32_t timeoutMs = 0;     // 0: the default (script: DefaultScriptTimeoutMs; interactive: no limit)
    bool help = false;
};

constexpr int MinDevice = 2;
constexpr int MaxDevice = 14;
constexpr uint32_t DefaultScriptTimeoutMs = 60000;

// Returns 0 or a text id; `detail` names the offending argument.
unsigned ParseOptions(int argc, const char* const* argv, SimOptions& options, std::string& detail);

// The usage text shown by --help and after a bad command line.
const char* UsageText();

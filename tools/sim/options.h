// Command line of quorvex-sim: --device N, --script FILE, --replay CAPTURE, --speed X, --timeout MS,
// --allow-remote.
#pragma once
#include <cstdint>
#include <string>

#include "tools/common/command_line.h"

struct SimOptions {
    int device = 2;
    std::string scriptPath;     // empty: no script
    std::string replayPath;     // empty: no replay; with neither, the interactive controller runs
    uint32_t speedMilli = 1000; // replay speed in thousandths (1000: as recorded)
    uint32_t timeoutMs = 0;     // 0: the default (script: DefaultScriptTimeoutMs; otherwise no limit)
    bool allowRemote = false;   // the pipes also take clients on other computers
};

constexpr int MinDevice = 2;
constexpr int MaxDevice = 14;
constexpr uint32_t DefaultScriptTimeoutMs = 60000;
constexpr uint32_t MaxSpeedMilli = 1000000;

CommandLineResult ParseOptions(int argc, const char* const* argv, SimOptions& options);

// "2", "0.5", "1.25": a positive number with at most three decimals, in thousandths; 0 if not.
uint32_t ParseSpeed(const char* text);

// The usage text shown by --help.
const char* UsageText();

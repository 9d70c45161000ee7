// Command line of quorvex-tap: --listen N --control M [--capture FILE], --help.
#pragma once
#include <string>

struct TapOptions {
    int listen = 0;   // the device number offered to the panel
    int control = 0;  // the control application's device number
    std::string capturePath;  // empty: forward without recording; kStandardOutput: to standard output
    bool help = false;
};

// Returns 0 or a text id; `detail` names the offending argument.
unsigned ParseTapOptions(int argc, const char* const* argv, TapOptions& options, std::string& detail);

const char* TapUsage();

constexpr char kStandardOutput[] = "-";

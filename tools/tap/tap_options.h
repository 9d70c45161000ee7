// Command line of quorvex-tap: --listen N --control M [--capture FILE|-] [--force] [--allow-remote],
// --help, --version.
#pragma once
#include <string>

#include "tools/common/command_line.h"

struct TapOptions {
    int listen = 0;   // the device number offered to the panel
    int control = 0;  // the control application's device number
    std::string capturePath;  // empty: forward without recording; kStandardOutput: to standard output
    bool overwrite = false;   // --force: an existing capture file is replaced
    bool allowRemote = false;  // the pipes offered to the panel also take clients on other computers
};

constexpr char kStandardOutput[] = "-";

CommandLineResult ParseTapOptions(int argc, const char* const* argv, TapOptions& options);

const char* TapUsage();

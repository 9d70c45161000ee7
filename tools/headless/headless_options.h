// Command line of quorvex-headless: -l or -r NAME first, then --script FILE and --timeout MS.
#pragma once
#include <cstdint>
#include <string>

#include "tools/common/command_line.h"

struct HeadlessOptions {
    int connectionArgs = 0;  // argv[0] and the -l or -r NAME that the connection step reads
    std::string scriptPath;
    uint32_t timeoutMs = 60000;
};

CommandLineResult ParseHeadlessOptions(int argc, const char* const* argv, HeadlessOptions& options);

// The usage text shown by --help.
std::string HeadlessUsage();

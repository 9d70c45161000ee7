// Time-stamped console lines.
#include "tools/common/console_lines_win.h"

#include <windows.h>

#include <cstdio>

namespace {
const ULONGLONG kStart = GetTickCount64();

void Write(FILE* stream, const std::string& line) {
    ULONGLONG ms = GetTickCount64() - kStart;
    std::fprintf(stream, "[%6llu.%03llu] %s\n", ms / 1000, ms % 1000, line.c_str());
    std::fflush(stream);
}
}  // namespace

void Say(const std::string& line) { Write(stdout, line); }

void Complain(const std::string& line) { Write(stderr, line); }

// Test helper: the build tree whose programs the end-to-end tests start. It is the test's own,
// unless QUORVEX_PROGRAMS_BUILD names another one (a Linux path): scripts/test runs the x64
// build's "shipped" checks once more on the x86 build's programs that way.
#pragma once
#include <windows.h>

#include <string>

// The other build tree as a Windows path without a trailing backslash, or "" for the own one.
inline std::string OtherProgramsBuild() {
    char unixPath[MAX_PATH] = "";
    const DWORD n = GetEnvironmentVariableA("QUORVEX_PROGRAMS_BUILD", unixPath, sizeof unixPath);
    if (n == 0 || n >= sizeof unixPath) return "";
    std::string path = std::string("Z:") + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    while (path.back() == '\\') path.pop_back();
    return path;
}

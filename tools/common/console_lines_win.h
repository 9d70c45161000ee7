// Console lines of the tools, each with the time since the program started.
#pragma once
#include <string>

// One line on standard output, flushed at once so that redirected output is never held back.
void Say(const std::string& line);
// One line on standard error.
void Complain(const std::string& line);

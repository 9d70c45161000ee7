// The help files' paths: the executable's path with its extension replaced by ".HLP" (the
// WinHelp file) or ".html" (the operator's guide).
#pragma once
#include <cstddef>
#include <memory>

namespace help_path {

constexpr char WinHelpExtension[] = ".HLP";
constexpr char GuideExtension[] = ".html";

// Length of the path for an executable path and an extension (without the terminating zero).
size_t Length(const char* exePath, const char* extension);

// Writes the path and its terminating zero; `out` holds at least Length(...) + 1 bytes.
void Build(const char* exePath, const char* extension, char* out);

// The path in a block of its own, or null when the block cannot be allocated.
std::unique_ptr<char[]> Make(const char* exePath, const char* extension);

}  // namespace help_path

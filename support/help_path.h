// The help file's path: the executable's path with its extension replaced by ".HLP".
#pragma once
#include <cstddef>
#include <memory>

namespace help_path {

// Length of the help path for an executable path (without the terminating zero).
size_t Length(const char* exePath);

// Writes the help path and its terminating zero; `out` holds at least Length(exePath) + 1 bytes.
void Build(const char* exePath, char* out);

// The help path in a block of its own, or null when the block cannot be allocated.
std::unique_ptr<char[]> Make(const char* exePath);

}  // namespace help_path

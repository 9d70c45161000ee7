// Help path building: only a dot in the file name itself (after the last backslash) starts
// the extension, so "C:\A.B\PANEL" keeps its whole name.
#include "support/help_path.h"

#include <cstring>
#include <new>

namespace help_path {
namespace {
size_t StemLength(const char* exePath) {
    const size_t length = std::strlen(exePath);
    for (size_t i = length; i > 0; --i) {
        const char c = exePath[i - 1];
        if (c == '.') return i - 1;
        if (c == '\\') break;
    }
    return length;
}
}  // namespace

size_t Length(const char* exePath, const char* extension) { return StemLength(exePath) + std::strlen(extension); }

void Build(const char* exePath, const char* extension, char* out) {
    const size_t stem = StemLength(exePath);
    std::memcpy(out, exePath, stem);
    std::memcpy(out + stem, extension, std::strlen(extension) + 1);
}

std::unique_ptr<char[]> Make(const char* exePath, const char* extension) {
    std::unique_ptr<char[]> path(new (std::nothrow) char[Length(exePath, extension) + 1]);
    if (path) Build(exePath, extension, path.get());
    return path;
}

}  // namespace help_path

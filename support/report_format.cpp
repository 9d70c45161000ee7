// Report formatting through snprintf, after checking the format against the offered arguments:
// the formats come from the string table, so a wrong text must not read past the arguments.
#include "support/report_format.h"

#include <cstdio>
#include <cstring>

namespace report_format {
namespace {
constexpr char kConversions[] = {'s', 'u', 'u'};

bool IsFlagOrWidth(char c) {
    return c == '-' || c == '+' || c == ' ' || c == '#' || c == '.' || (c >= '0' && c <= '9');
}

size_t CopyCut(char* piece, size_t size, const char* text) {
    const size_t length = std::strlen(text);
    const size_t kept = length < size - 1 ? length : size - 1;
    std::memcpy(piece, text, kept);
    piece[kept] = '\0';
    return kept;
}
}  // namespace

bool Accepts(const char* format, int offered) {
    int used = 0;
    for (const char* p = format; *p; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == '%') continue;
        while (IsFlagOrWidth(*p)) ++p;
        if (used >= offered || used >= static_cast<int>(sizeof(kConversions)) || *p != kConversions[used])
            return false;
        ++used;
    }
    return true;
}

size_t Format(char* piece, size_t size, const char* format, int offered, const char* objectName,
              unsigned objectNameId, unsigned textId) {
    if (size == 0) return 0;
    if (!Accepts(format, offered)) return CopyCut(piece, size, format);
    const int n = std::snprintf(piece, size, format, objectName ? objectName : "", objectNameId, textId);
    piece[size - 1] = '\0';
    if (n < 0) {
        piece[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(n) < size ? static_cast<size_t>(n) : size - 1;
}

}  // namespace report_format

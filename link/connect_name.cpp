// The computer name rule: host-name labels, or a strict dotted quad for an all-digit name.
#include "link/connect_name.h"

#include "link/connect_logic.h"

namespace connect_logic {
namespace {

constexpr int kMaxLength = kNameCapacity - 1;
constexpr char kSeparator = '.';
constexpr char kHyphen = '-';
constexpr char kUnderscore = '_';
constexpr int kAddressParts = 4;
constexpr int kMaxPartDigits = 3;
constexpr int kMaxPartValue = 255;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsLabelChar(char c) { return IsLetter(c) || IsDigit(c) || c == kHyphen || c == kUnderscore; }

// Windows reads numeric forms such as "10.1" or "010.0.0.1" (octal) as other addresses: an
// all-digit name is taken only in the one form that means what it shows.
bool IsDottedQuad(const char* name) {
    int parts = 0;
    const char* p = name;
    for (;;) {
        int digits = 0;
        int value = 0;
        const char* start = p;
        for (; IsDigit(*p); ++p) {
            if (++digits > kMaxPartDigits) return false;
            value = value * 10 + (*p - '0');
        }
        if (digits == 0 || value > kMaxPartValue || (digits > 1 && *start == '0')) return false;
        ++parts;
        if (*p == '\0') return parts == kAddressParts;
        if (*p != kSeparator || parts == kAddressParts) return false;
        ++p;
    }
}

// "-" first would read as an option; "-" last, an empty label, "." first or last are not host names.
bool IsHostName(const char* name) {
    const char* label = name;
    for (const char* p = name;; ++p) {
        if (*p != kSeparator && *p != '\0') {
            if (!IsLabelChar(*p)) return false;
            continue;
        }
        if (p == label || *label == kHyphen || p[-1] == kHyphen) return false;
        if (*p == '\0') return true;
        label = p + 1;
    }
}

bool OnlyDigitsAndSeparators(const char* name) {
    for (const char* p = name; *p; ++p)
        if (!IsDigit(*p) && *p != kSeparator) return false;
    return true;
}

}  // namespace

bool IsComputerName(const char* name) {
    if (!name || !*name) return false;
    int length = 0;
    while (name[length])
        if (++length > kMaxLength) return false;
    return OnlyDigitsAndSeparators(name) ? IsDottedQuad(name) : IsHostName(name);
}

}  // namespace connect_logic

// Decimal option values.
#include "tools/common/option_args.h"

int64_t DecimalArg(const char* text, int64_t low, int64_t high) {
    int64_t value = 0;
    if (*text == '\0') return -1;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return -1;
        value = value * 10 + (*p - '0');
        if (value > high) return -1;
    }
    return value < low ? -1 : value;
}

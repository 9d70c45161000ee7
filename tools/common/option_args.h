// Decimal option values of the tools.
#pragma once
#include <cstdint>

// A decimal number from `low` to `high`, or -1.
int64_t DecimalArg(const char* text, int64_t low, int64_t high);

// Parameter table of the HP-250 press and the arithmetic on scaled values.
#include "tools/sim/params.h"

#include <cstdlib>

namespace {
constexpr ParamDef kParams[] = {
    {"Force setpoint", "kN", 1, 500, 2500, 2000, {1, 10, 100}},
    {"Pressing speed", "mm/s", 1, 20, 400, 120, {1, 10, 50}},
    {"Top position", "mm", 1, 1500, 4000, 3500, {1, 10, 100}},
    {"Bottom position", "mm", 1, 0, 1000, 200, {1, 10, 100}},
    {"Dwell time", "s", 2, 0, 300, 50, {1, 5, 25}},
    {"Stroke rate", "/min", 0, 4, 30, 12, {1, 1, 5}},
    {"Ram offset", "mm", 2, -500, 500, -25, {1, 5, 50}},
    {"Oil temp limit", "C", 0, 40, 70, 60, {1, 1, 5}},
};
static_assert(sizeof(kParams) / sizeof(kParams[0]) == ParamCount, "one row per parameter");

constexpr double kPowers[] = {1.0, 10.0, 100.0, 1000.0};
constexpr int64_t kEntryLimit = 100000000;  // far beyond every maximum, so no overflow
}  // namespace

const ParamDef& Param(ParamId id) { return kParams[static_cast<int>(id)]; }

ParamSet::ParamSet() {
    for (int i = 0; i < ParamCount; ++i) values_[i] = kParams[i].initial;
}

double ParamSet::Real(ParamId id) const { return Get(id) / kPowers[Param(id).decimals]; }

int32_t ParamSet::Adjust(ParamId id, int direction, AdjustSpeed speed) {
    const ParamDef& def = Param(id);
    int32_t& value = values_[static_cast<int>(id)];
    int32_t before = value;
    int32_t step = def.steps[static_cast<int>(speed)];
    int32_t next = direction > 0 ? value + step : value - step;
    value = next < def.min ? def.min : next > def.max ? def.max : next;
    return value - before;
}

EntryResult ParamSet::Enter(ParamId id, std::string_view text) {
    const ParamDef& def = Param(id);
    bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty()) return negative ? EntryResult::NotANumber : EntryResult::Empty;
    int64_t scaled = 0;
    int decimals = -1;  // digits seen after the point, -1 before it
    bool anyDigit = false;
    for (char c : text) {
        if (c == '.') {
            if (decimals >= 0) return EntryResult::NotANumber;
            decimals = 0;
            continue;
        }
        if (c < '0' || c > '9') return EntryResult::NotANumber;
        if (decimals >= 0 && ++decimals > def.decimals) return EntryResult::TooManyDecimals;
        anyDigit = true;
        scaled = scaled * 10 + (c - '0');
        if (scaled > kEntryLimit) return EntryResult::OutOfRange;
    }
    if (!anyDigit) return EntryResult::NotANumber;
    for (int d = decimals < 0 ? 0 : decimals; d < def.decimals; ++d) scaled *= 10;
    if (negative) scaled = -scaled;
    if (scaled < def.min || scaled > def.max) return EntryResult::OutOfRange;
    values_[static_cast<int>(id)] = static_cast<int32_t>(scaled);
    return EntryResult::Ok;
}

std::string FormatScaled(int32_t value, int decimals) {
    std::string digits = std::to_string(std::llabs(static_cast<long long>(value)));
    if (decimals > 0) {
        if (digits.size() <= static_cast<size_t>(decimals)) digits.insert(0, decimals + 1 - digits.size(), '0');
        digits.insert(digits.size() - decimals, 1, '.');
    }
    return (value < 0 ? "-" : "") + digits;
}

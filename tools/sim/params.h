// The press's adjustable parameters: limits, steps per adjust speed, typed entry.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "tools/common/commands.h"

enum class ParamId { ForceSetpoint, PressingSpeed, TopPosition, BottomPosition, DwellTime, StrokeRate, RamOffset, OilTempLimit, Count };
constexpr int ParamCount = static_cast<int>(ParamId::Count);

// Values are integers in units of 10^-decimals (force 200.0 kN with 1 decimal is 2000).
struct ParamDef {
    const char* name;
    const char* unit;
    int decimals;
    int32_t min;
    int32_t max;
    int32_t initial;
    int32_t steps[3];  // slow, normal, fast
};

const ParamDef& Param(ParamId id);

enum class EntryResult { Ok, Empty, NotANumber, TooManyDecimals, OutOfRange };

class ParamSet {
public:
    ParamSet();
    int32_t Get(ParamId id) const { return values_[static_cast<int>(id)]; }
    double Real(ParamId id) const;
    // One adjust step; the value stops at its limits. Returns the change actually made.
    int32_t Adjust(ParamId id, int direction, AdjustSpeed speed);
    // Sets the value from typed text such as "-1.25"; unchanged unless Ok.
    EntryResult Enter(ParamId id, std::string_view text);

private:
    int32_t values_[ParamCount];
};

// "2000" with 1 decimal gives "200.0".
std::string FormatScaled(int32_t value, int decimals);

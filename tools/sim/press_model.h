// A believable hydraulic press cycle: approach, pressing, dwell, return, driven by elapsed time.
#pragma once
#include <cstdint>

#include "tools/sim/params.h"

enum class ValueId { Phase, RamPosition, RamSpeed, Force, Pressure, OilTemp, MotorCurrent, StrokeRate, CycleTime, PartCount, Rejects, Count };
enum class Phase { Approach, Pressing, Dwell, Return, Count };

const char* PhaseName(Phase phase);

class PressModel {
public:
    PressModel();
    // Moves the machine on by `ms`; the parameters shape the cycle.
    void Advance(uint32_t ms, const ParamSet& params);
    // The value in its display unit (mm, mm/s, kN, bar, C, A, /min, s, count; Phase as its index).
    double Value(ValueId id) const { return values_[static_cast<int>(id)]; }
    Phase CurrentPhase() const { return static_cast<Phase>(static_cast<int>(Value(ValueId::Phase))); }

private:
    double Noise(double amplitude);
    void Set(ValueId id, double value) { values_[static_cast<int>(id)] = value; }

    double values_[static_cast<int>(ValueId::Count)] = {};
    double cycleMs_ = 0;  // time into the current stroke
    double oilTemp_ = 38.0;
    uint32_t noiseState_ = 12345;
};

// The press cycle as a table of phases with their share of the stroke and their motion.
#include "tools/sim/press_model.h"

namespace {
struct PhaseDef {
    const char* name;
    double share;        // of the stroke time left after the dwell
    double fromTravel;   // ram travel at the phase start: 0 top, 1 bottom
    double toTravel;
    double motorAmps;
};
// The dwell's share is 0: it lasts the dwell time parameter instead.
constexpr PhaseDef kPhases[] = {
    {"APPROACH", 0.30, 0.0, 0.8, 31.0},
    {"PRESSING", 0.25, 0.8, 1.0, 44.0},
    {"DWELL", 0.0, 1.0, 1.0, 26.0},
    {"RETURN", 0.45, 1.0, 0.0, 35.0},
};
static_assert(sizeof(kPhases) / sizeof(kPhases[0]) == static_cast<int>(Phase::Count), "one row per phase");

constexpr double kOilTarget = 47.5;
constexpr double kOilMinutes = 4.0;     // time constant of the warm-up
constexpr double kBarPerKn = 0.92;      // cylinder area of the HP-250
constexpr double kIdleBar = 12.0;
constexpr int kRejectEvery = 41;
constexpr double kFirstPart = 4650;
constexpr double kFirstRejects = 37;
}  // namespace

const char* PhaseName(Phase phase) { return kPhases[static_cast<int>(phase)].name; }

PressModel::PressModel() {
    Set(ValueId::PartCount, kFirstPart);
    Set(ValueId::Rejects, kFirstRejects);
    Set(ValueId::OilTemp, oilTemp_);
}

double PressModel::Noise(double amplitude) {
    noiseState_ = noiseState_ * 1103515245u + 12345u;
    return amplitude * ((static_cast<double>((noiseState_ >> 16) & 0x7FFF) / 16383.5) - 1.0);
}

void PressModel::Advance(uint32_t ms, const ParamSet& params) {
    double strokeMs = 60000.0 / params.Get(ParamId::StrokeRate);
    double dwellMs = params.Real(ParamId::DwellTime) * 1000.0;
    if (dwellMs > strokeMs / 4) dwellMs = strokeMs / 4;
    double movingMs = strokeMs - dwellMs;

    cycleMs_ += ms;
    while (cycleMs_ >= strokeMs) {
        cycleMs_ -= strokeMs;
        double parts = Value(ValueId::PartCount) + 1;
        Set(ValueId::PartCount, parts);
        if (static_cast<long long>(parts) % kRejectEvery == 0) Set(ValueId::Rejects, Value(ValueId::Rejects) + 1);
    }

    int phase = 0;
    double start = 0;
    double length = 0;
    for (; phase < static_cast<int>(Phase::Count); ++phase) {
        length = kPhases[phase].share > 0 ? kPhases[phase].share * movingMs : dwellMs;
        if (cycleMs_ < start + length || phase == static_cast<int>(Phase::Count) - 1) break;
        start += length;
    }
    const PhaseDef& def = kPhases[phase];
    double progress = length > 0 ? (cycleMs_ - start) / length : 1.0;
    if (progress > 1.0) progress = 1.0;

    double top = params.Real(ParamId::TopPosition);
    double bottom = params.Real(ParamId::BottomPosition);
    double offset = params.Real(ParamId::RamOffset);
    double travel = def.fromTravel + (def.toTravel - def.fromTravel) * progress;
    double stroke = top - bottom;
    double position = top - stroke * travel + offset;
    double speed = length > 0 ? -stroke * (def.toTravel - def.fromTravel) * 1000.0 / length : 0.0;
    if (static_cast<Phase>(phase) == Phase::Pressing) speed = -params.Real(ParamId::PressingSpeed);

    double setpoint = params.Real(ParamId::ForceSetpoint);
    double force = 0.0;
    if (static_cast<Phase>(phase) == Phase::Pressing) force = setpoint * progress + Noise(1.5);
    if (static_cast<Phase>(phase) == Phase::Dwell) force = setpoint + Noise(setpoint * 0.004);
    if (force < 0) force = 0;

    oilTemp_ += (kOilTarget - oilTemp_) * (ms / (kOilMinutes * 60000.0));

    Set(ValueId::Phase, phase);
    Set(ValueId::RamPosition, position);
    Set(ValueId::RamSpeed, speed);
    Set(ValueId::Force, force);
    Set(ValueId::Pressure, kIdleBar + force * kBarPerKn + Noise(0.6));
    Set(ValueId::OilTemp, oilTemp_ + Noise(0.15));
    Set(ValueId::MotorCurrent, def.motorAmps + force * 0.02 + Noise(0.8));
    Set(ValueId::StrokeRate, params.Get(ParamId::StrokeRate));
    Set(ValueId::CycleTime, strokeMs / 1000.0);
}

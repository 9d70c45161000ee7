// Screen tables of the HP-250 press controller and the texts of its two lists.
#include "tools/sim/screens.h"

#include <cctype>
#include <cstdio>

namespace {
constexpr Label kMainLabels[] = {
    {4, 3, "1  Machine status         STATUS"},
    {5, 3, "2  Parameters             PARAMS"},
    {6, 3, "3  Production log         LIST"},
    {7, 3, "4  Alarm history          ALARMS"},
    {8, 3, "5  Shut down controller   SHUTDOWN"},
    {11, 1, "Order   4711-A  Bracket, steel 2 mm"},
    {12, 1, "Die     D-17, 4 stations"},
    {13, 1, "State"},
    {13, 20, "Parts"},
};
constexpr ValueField kMainValues[] = {
    {13, 9, 9, ValueId::Phase, 0},
    {13, 26, 7, ValueId::PartCount, 0},
};
constexpr MenuEntry kMainMenu[] = {
    {4, ScreenId::Status}, {5, ScreenId::Params}, {6, ScreenId::Log}, {7, ScreenId::Alarms}, {8, ScreenId::Shutdown},
};

constexpr Label kStatusLabels[] = {
    {3, 1, "State"},
    {4, 1, "Ram position"},          {4, 27, "mm"},
    {5, 1, "Ram speed"},             {5, 27, "mm/s"},
    {6, 1, "Press force"},           {6, 27, "kN"},
    {7, 1, "System pressure"},       {7, 27, "bar"},
    {8, 1, "Oil temperature"},       {8, 27, "C"},
    {9, 1, "Motor current"},         {9, 27, "A"},
    {10, 1, "Stroke rate"},          {10, 27, "/min"},
    {11, 1, "Cycle time"},           {11, 27, "s"},
    {13, 1, "Parts made"},
    {14, 1, "Rejects"},
};
constexpr ValueField kStatusValues[] = {
    {3, 18, 8, ValueId::Phase, 0},
    {4, 18, 8, ValueId::RamPosition, 1},
    {5, 18, 8, ValueId::RamSpeed, 1},
    {6, 18, 8, ValueId::Force, 1},
    {7, 18, 8, ValueId::Pressure, 1},
    {8, 18, 8, ValueId::OilTemp, 1},
    {9, 18, 8, ValueId::MotorCurrent, 1},
    {10, 18, 8, ValueId::StrokeRate, 0},
    {11, 18, 8, ValueId::CycleTime, 2},
    {13, 18, 8, ValueId::PartCount, 0},
    {14, 18, 8, ValueId::Rejects, 0},
};

constexpr Label kParamLabels[] = {
    {3, 3, "Parameter"},
    {3, 24, "Value"},
    {3, 31, "Unit"},
    {layout::ParamRangeRow, 1, "Range"},
    {layout::ParamStepRow, 1, "Steps"},
    {layout::ParamEntryRow, 1, "Entry"},
};

constexpr Label kLogLabels[] = {{3, 1, "No.  Time     Part   Force     Result"}};
constexpr Label kAlarmLabels[] = {{3, 1, "Date  Time  Code  Alarm"}};

constexpr Label kShutdownLabels[] = {
    {5, 3, "Stop the press and shut down the"},
    {6, 3, "controller? The panel will close."},
    {9, 3, "ENTER   shut down"},
    {10, 3, "EXIT    cancel"},
};

template <class T>
constexpr Table<T> None() {
    return {nullptr, 0};
}

constexpr ScreenDef kScreens[] = {
    {ScreenId::Main, "MAIN", ScreenKind::Menu, ScreenId::Main, "MAIN MENU", TableOf(kMainLabels),
     TableOf(kMainValues), TableOf(kMainMenu), ListSource::None, "UP/DOWN select  ENTER open  or click"},
    {ScreenId::Status, "STATUS", ScreenKind::Status, ScreenId::Main, "MACHINE STATUS", TableOf(kStatusLabels),
     TableOf(kStatusValues), None<MenuEntry>(), ListSource::None, "Live values         EXIT back"},
    {ScreenId::Params, "PARAMS", ScreenKind::Params, ScreenId::Main, "PARAMETERS", TableOf(kParamLabels),
     None<ValueField>(), None<MenuEntry>(), ListSource::None, "ADJUST change 0-9 . NEG type ENTER set"},
    {ScreenId::Log, "LIST", ScreenKind::List, ScreenId::Main, "PRODUCTION LOG", TableOf(kLogLabels),
     None<ValueField>(), None<MenuEntry>(), ListSource::ProductionLog, "LINE UP/DOWN scroll    EXIT back"},
    {ScreenId::Alarms, "ALARMS", ScreenKind::List, ScreenId::Main, "ALARM HISTORY", TableOf(kAlarmLabels),
     None<ValueField>(), None<MenuEntry>(), ListSource::Alarms, "LINE UP/DOWN scroll    EXIT back"},
    {ScreenId::Shutdown, "SHUTDOWN", ScreenKind::Confirm, ScreenId::Main, "SHUT DOWN", TableOf(kShutdownLabels),
     None<ValueField>(), None<MenuEntry>(), ListSource::None, "ENTER shut down        EXIT cancel"},
};
static_assert(sizeof(kScreens) / sizeof(kScreens[0]) == static_cast<int>(ScreenId::Count), "one row per screen");

constexpr const char* kAlarms[] = {
    "03-11 06:02 E101  Light curtain broken",
    "03-11 06:40 W310  Lube level low",
    "03-11 09:15 E214  Oil temperature high",
    "03-11 09:31 E214  Oil temperature high",
    "03-11 11:58 E120  Part not ejected",
    "03-11 13:07 W402  Die counter service",
    "03-11 14:22 E101  Light curtain broken",
    "03-11 16:45 E305  Pressure not reached",
    "03-11 18:03 W310  Lube level low",
    "03-11 21:36 E120  Part not ejected",
    "03-12 00:12 E550  Emergency stop",
    "03-12 00:14 I001  Reset by operator",
    "03-12 02:49 E101  Light curtain broken",
    "03-12 05:30 W121  Feeder jam warning",
    "03-12 05:31 E122  Feeder jammed",
    "03-12 06:10 I002  Shift change",
    "03-12 07:41 E214  Oil temperature high",
    "03-12 08:26 W402  Die counter service",
    "03-12 10:04 E305  Pressure not reached",
    "03-12 10:05 E306  Force limit exceeded",
    "03-12 11:18 E120  Part not ejected",
    "03-12 12:55 W310  Lube level low",
};

constexpr int kLogEntries = 120;
constexpr int kLogStartSeconds = 6 * 3600;
constexpr int kLogSecondsPerPart = 5;
constexpr int kLogRejectEvery = 17;

std::string Upper(const std::string& text) {
    std::string out;
    for (char c : text) out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string Trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string LogLine(int index) {
    int seconds = kLogStartSeconds + index * kLogSecondsPerPart;
    int force = 1980 + (index * 37) % 41;  // tenths of a kN around the setpoint
    bool reject = index % kLogRejectEvery == kLogRejectEvery - 1;
    char line[64];
    std::snprintf(line, sizeof line, "%04d %02d:%02d:%02d 4711-A %3d.%d kN  %s", index + 1, seconds / 3600,
                  seconds / 60 % 60, seconds % 60, force / 10, force % 10, reject ? "REJECT" : "OK");
    return line;
}
}  // namespace

const ScreenDef& Screen(ScreenId id) { return kScreens[static_cast<int>(id)]; }

const ScreenDef* FindScreen(const std::string& name) {
    std::string wanted = Upper(Trimmed(name));
    for (const ScreenDef& s : kScreens) {
        if (wanted == s.name) return &s;
    }
    return nullptr;
}

std::string ScreenNames() {
    std::string names;
    for (const ScreenDef& s : kScreens) names += (names.empty() ? "" : " ") + std::string(s.name);
    return names;
}

int ListSize(ListSource source) {
    switch (source) {
        case ListSource::ProductionLog:
            return kLogEntries;
        case ListSource::Alarms:
            return static_cast<int>(sizeof(kAlarms) / sizeof(kAlarms[0]));
        case ListSource::None:
            break;
    }
    return 0;
}

std::string ListLine(ListSource source, int index) {
    if (index < 0 || index >= ListSize(source)) return {};
    return source == ListSource::Alarms ? kAlarms[index] : LogLine(index);
}

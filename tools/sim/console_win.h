// The simulator's real clock and time of day, and its modes.
#pragma once
#include "tools/common/console_lines_win.h"
#include "tools/sim/options.h"
#include "tools/sim/peer_link.h"

class SystemClock : public Clock {
public:
    uint64_t NowMs() override;
    void SleepMs(uint32_t ms) override;
};

// Local time of day in seconds.
int SecondsOfDay();

// The modes; each returns the process exit code.
int RunScript(const SimOptions& options);
int RunController(const SimOptions& options);
int RunReplay(const SimOptions& options);

// Console output of the simulator with a time stamp per line, and the real clock.
#pragma once
#include <string>

#include "tools/sim/options.h"
#include "tools/sim/peer_link.h"

// One line on standard output, flushed at once so that redirected output is never held back.
void Say(const std::string& line);
// One line on standard error.
void Complain(const std::string& line);

class SystemClock : public Clock {
public:
    uint64_t NowMs() override;
    void SleepMs(uint32_t ms) override;
};

// Local time of day in seconds.
int SecondsOfDay();

// The two modes; each returns the process exit code.
int RunScript(const SimOptions& options);
int RunController(const SimOptions& options);

// Plays a parsed test script against one panel connection and judges its expectations.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/sim/peer_link.h"
#include "tools/sim/script.h"

struct RunResult {
    bool passed = false;
    int line = 0;         // line of the first failed step, 0 when none or before the first step
    std::string message;  // names the failure, with expected and received bytes shown escaped
};

class ScriptRunner {
public:
    using Log = std::function<void(const std::string&)>;
    ScriptRunner(PeerLink& link, Clock& clock, Log log);

    // Waits for a panel, then plays the steps; the whole run, connection included, is
    // bounded by `overallMs`.
    RunResult Run(const std::vector<ScriptStep>& steps, uint32_t overallMs);

private:
    enum class Wait { Done, StepTimedOut, OverallTimedOut, Closed };

    RunResult Play(const ScriptStep& step);
    RunResult Expect(const ScriptStep& step);
    RunResult ExpectClosed(const ScriptStep& step);
    RunResult SendBytes(const ScriptStep& step);
    RunResult Pause(const ScriptStep& step);
    // Receives into received_ until the step's own deadline or the overall one.
    Wait ReceiveMore(uint64_t stepDeadline);
    uint32_t Remaining(uint64_t deadline);
    RunResult Fail(const ScriptStep& step, const std::string& why) const;
    std::string OverallTimeOut() const;

    PeerLink& link_;
    Clock& clock_;
    Log log_;
    uint64_t overallDeadline_ = 0;
    uint32_t overallMs_ = 0;
    int closedAtLine_ = 0;   // line of the close step, once played
    bool expectHeld_ = false;  // an expectation held already
    std::string received_;   // bytes from the panel not yet matched
};

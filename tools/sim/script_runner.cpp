// Script playing: expectations match the panel's bytes strictly in order, every wait is bounded.
#include "tools/sim/script_runner.h"

#include <algorithm>
#include <utility>

#include "protocol/command_table.h"
#include "tools/common/escapes.h"

namespace {
std::string Quoted(const std::string& bytes) { return "\"" + ShowBytes(bytes) + "\""; }

// The panel's own first commands, sent as soon as it has connected.
const std::string kPanelStartUp = commands::GreetingBytes();

std::string StepText(const ScriptStep& step) {
    std::string text = "line " + std::to_string(step.line) + ": " + StepName(step.kind);
    if (step.kind == StepKind::Send || step.kind == StepKind::Expect) text += " " + Quoted(step.bytes);
    return text;
}
}  // namespace

ScriptRunner::ScriptRunner(PeerLink& link, Clock& clock, Log log)
    : link_(link), clock_(clock), log_(std::move(log)) {}

RunResult ScriptRunner::Run(const std::vector<ScriptStep>& steps, uint32_t overallMs) {
    overallMs_ = overallMs;
    overallDeadline_ = clock_.NowMs() + overallMs;
    log_("waiting for a panel");
    const LinkStatus connected = link_.WaitConnected(overallMs);
    if (connected == LinkStatus::TimedOut) {
        return {false, 0, "no panel connected within " + std::to_string(overallMs) + " ms"};
    }
    if (connected != LinkStatus::Ok) return {false, 0, "the pipes failed while waiting for a panel"};
    log_("panel connected");
    for (const ScriptStep& step : steps) {
        RunResult result = Play(step);
        if (!result.passed) return result;
    }
    if (!received_.empty()) log_("not checked, received after the last expectation: " + Quoted(received_));
    return {true, 0, "script passed: " + std::to_string(steps.size()) + (steps.size() == 1 ? " step" : " steps")};
}

RunResult ScriptRunner::Play(const ScriptStep& step) {
    switch (step.kind) {
        case StepKind::Send:
            return SendBytes(step);
        case StepKind::Expect:
            return Expect(step);
        case StepKind::Wait:
            return Pause(step);
        case StepKind::Close:
            link_.Close();
            closedAtLine_ = step.line;
            log_(StepText(step) + ": pipes closed");
            return {true, 0, {}};
        case StepKind::ExpectClosed:
            return ExpectClosed(step);
    }
    return Fail(step, "unknown step");
}

RunResult ScriptRunner::SendBytes(const ScriptStep& step) {
    if (closedAtLine_) return Fail(step, "the pipes were closed at line " + std::to_string(closedAtLine_));
    uint32_t left = Remaining(overallDeadline_);
    if (left == 0) return Fail(step, OverallTimeOut());
    switch (link_.Send(step.bytes, left)) {
        case LinkStatus::Ok:
            log_(StepText(step) + ": sent " + std::to_string(step.bytes.size()) + (step.bytes.size() == 1 ? " byte" : " bytes"));
            return {true, 0, {}};
        case LinkStatus::TimedOut:
            return Fail(step, "the panel did not take the bytes; " + OverallTimeOut());
        case LinkStatus::Closed:
            break;
    }
    return Fail(step, "the panel closed the pipes");
}

RunResult ScriptRunner::Expect(const ScriptStep& step) {
    const std::string& want = step.bytes;
    uint64_t deadline = clock_.NowMs() + step.timeoutMs;
    for (;;) {
        size_t common = std::min(received_.size(), want.size());
        auto diff = std::mismatch(want.begin(), want.begin() + static_cast<std::ptrdiff_t>(common), received_.begin());
        if (diff.first != want.begin() + static_cast<std::ptrdiff_t>(common)) {
            size_t at = static_cast<size_t>(diff.first - want.begin()) + 1;
            const bool startUp = !expectHeld_ && received_.front() == kPanelStartUp[0] && want.front() != kPanelStartUp[0];
            return Fail(step, "received " + Quoted(received_) + " (differs at byte " + std::to_string(at) + ")" +
                                  (startUp ? "; a panel sends " + Quoted(kPanelStartUp) +
                                                 " as soon as it connects: expect " + kPanelStartUp + " first"
                                           : ""));
        }
        if (received_.size() >= want.size()) {
            received_.erase(0, want.size());
            expectHeld_ = true;
            log_(StepText(step) + ": held");
            return {true, 0, {}};
        }
        switch (ReceiveMore(deadline)) {
            case Wait::Done:
                break;
            case Wait::StepTimedOut:
                return Fail(step, "timed out after " + std::to_string(step.timeoutMs) + " ms; received " +
                                      Quoted(received_));
            case Wait::OverallTimedOut:
                return Fail(step, OverallTimeOut() + "; received " + Quoted(received_));
            case Wait::Closed:
                return Fail(step, (closedAtLine_ ? "the pipes were closed at line " + std::to_string(closedAtLine_)
                                                 : std::string("the panel closed the pipes")) +
                                      "; received " + Quoted(received_));
        }
    }
}

RunResult ScriptRunner::ExpectClosed(const ScriptStep& step) {
    uint64_t deadline = clock_.NowMs() + step.timeoutMs;
    for (;;) {
        if (!received_.empty()) return Fail(step, "received " + Quoted(received_) + " instead of the close");
        switch (ReceiveMore(deadline)) {
            case Wait::Done:
                break;
            case Wait::StepTimedOut:
                return Fail(step, "the panel still holds the pipes after " + std::to_string(step.timeoutMs) + " ms");
            case Wait::OverallTimedOut:
                return Fail(step, OverallTimeOut());
            case Wait::Closed:
                log_(StepText(step) + ": held");
                return {true, 0, {}};
        }
    }
}

RunResult ScriptRunner::Pause(const ScriptStep& step) {
    uint32_t left = Remaining(overallDeadline_);
    if (step.timeoutMs > left) {
        clock_.SleepMs(left);
        return Fail(step, OverallTimeOut());
    }
    clock_.SleepMs(step.timeoutMs);
    return {true, 0, {}};
}

ScriptRunner::Wait ScriptRunner::ReceiveMore(uint64_t stepDeadline) {
    bool stepFirst = stepDeadline <= overallDeadline_;
    uint64_t deadline = stepFirst ? stepDeadline : overallDeadline_;
    uint32_t left = Remaining(deadline);
    if (left > 0) {
        switch (link_.Receive(received_, left)) {
            case LinkStatus::Ok:
                return Wait::Done;
            case LinkStatus::Closed:
                return Wait::Closed;
            case LinkStatus::TimedOut:
                if (clock_.NowMs() < deadline) return Wait::Done;  // woke early: the caller looks again
                break;
        }
    }
    return stepFirst ? Wait::StepTimedOut : Wait::OverallTimedOut;
}

uint32_t ScriptRunner::Remaining(uint64_t deadline) {
    uint64_t now = clock_.NowMs();
    if (now >= deadline) return 0;
    return static_cast<uint32_t>(std::min<uint64_t>(deadline - now, UINT32_MAX));
}

RunResult ScriptRunner::Fail(const ScriptStep& step, const std::string& why) const {
    return {false, step.line, StepText(step) + " failed: " + why};
}

std::string ScriptRunner::OverallTimeOut() const {
    return "overall time-out of " + std::to_string(overallMs_) + " ms reached";
}

// A link thread's stop hand-over and the closer's bounded, re-cancelling wait.
#include "link/stop_state.h"

void StopState::Release() {
    if (refs_.fetch_sub(1) == 1) delete this;
}

bool StopState::Enter(ThreadPhase phase) {
    // Phase first, then the flag: with the closer's flag-then-phase order one of the two sees the other.
    phase_.store(phase);
    if (!stop_.load()) return true;
    // Inside the owner's wait the reader still has to return through the owner's frames.
    if (phase != ThreadPhase::WaitingOnWindow) phase_.store(ThreadPhase::Out);
    return false;
}

StopOutcome StopThread(StopState& state, StopPlatform& stopper, const StopTimes& times) {
    state.RequestStop();
    const uint32_t start = stopper.NowMilliseconds();
    for (;;) {
        const ThreadPhase phase = state.Phase();
        if (phase == ThreadPhase::Out) return StopOutcome::Ended;
        if (phase == ThreadPhase::WaitingOnWindow) return StopOutcome::LeftWaiting;
        if (stopper.NowMilliseconds() - start >= static_cast<uint32_t>(times.boundMs)) return StopOutcome::LeftBehind;
        // A cancel that lands before the read starts is lost, hence one per step. Owner code in
        // the exit handling that has not declared its wait is waited for: it only takes its
        // copies and never waits on the window thread before declaring.
        if (phase == ThreadPhase::Busy) stopper.CancelBlockedIo();
        if (stopper.WaitForExit(times.stepMs)) return StopOutcome::Ended;
    }
}

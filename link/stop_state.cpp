// The reader's stop hand-over and the closer's bounded, re-cancelling wait.
#include "link/stop_state.h"

void StopState::Release() {
    if (refs_.fetch_sub(1) == 1) delete this;
}

bool StopState::Enter(ReaderPhase phase) {
    // Phase first, then the flag: with the closer's flag-then-phase order one of the two sees the other.
    phase_.store(phase);
    if (!stop_.load()) return true;
    // Inside the owner's wait the reader still has to return through the owner's frames.
    if (phase != ReaderPhase::WaitingOnWindow) phase_.store(ReaderPhase::Out);
    return false;
}

StopOutcome StopReader(StopState& state, ReaderStopper& stopper, const StopTimes& times) {
    state.RequestStop();
    const uint32_t start = stopper.NowMilliseconds();
    for (;;) {
        const ReaderPhase phase = state.Phase();
        if (phase == ReaderPhase::Out) return StopOutcome::Ended;
        if (phase == ReaderPhase::WaitingOnWindow) return StopOutcome::LeftWaiting;
        if (stopper.NowMilliseconds() - start >= static_cast<uint32_t>(times.boundMs)) {
            stopper.Terminate();
            return StopOutcome::Terminated;
        }
        // A cancel that lands before the read starts is lost, hence one per step. Owner code in
        // the exit handling that has not declared its wait is waited for: it only takes its
        // copies and never waits on the window thread before declaring.
        if (phase == ReaderPhase::Busy) stopper.CancelBlockedIo();
        if (stopper.WaitForExit(times.stepMs)) return StopOutcome::Ended;
    }
}

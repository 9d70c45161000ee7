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
    uint32_t exitSeen = 0;
    bool inExit = false;
    for (;;) {
        const uint32_t now = stopper.NowMilliseconds();
        switch (state.Phase()) {
            case ReaderPhase::Out:
                return StopOutcome::Ended;
            case ReaderPhase::WaitingOnWindow:
                return StopOutcome::LeftWaiting;
            case ReaderPhase::InExitHandling:
                if (!inExit) exitSeen = now;
                inExit = true;
                // Owner code blocked on this thread cannot be cancelled; after the grace it is
                // taken to be waiting on the window.
                if (now - exitSeen >= static_cast<uint32_t>(times.exitGraceMs)) return StopOutcome::LeftWaiting;
                if (stopper.WaitForExit(times.stepMs)) return StopOutcome::Ended;
                continue;
            case ReaderPhase::Busy:
                inExit = false;
                break;
        }
        if (now - start >= static_cast<uint32_t>(times.boundMs)) {
            stopper.Terminate();
            return StopOutcome::Terminated;
        }
        // A cancel that lands before the read starts is lost, hence one per step.
        stopper.CancelBlockedIo();
        if (stopper.WaitForExit(times.stepMs)) return StopOutcome::Ended;
    }
}

// The reader's stop hand-over and the closer's bounded, re-cancelling wait.
#include "link/stop_state.h"

void StopState::Release() {
    if (refs_.fetch_sub(1) == 1) delete this;
}

bool StopState::LeaveWaiting() {
    // Phase first, then the flag: with the closer's flag-then-phase order one of the two sees the other.
    phase_.store(ReaderPhase::Busy);
    if (!stop_.load()) return true;
    phase_.store(ReaderPhase::Out);
    return false;
}

StopOutcome StopReader(StopState& state, ReaderStopper& stopper, int32_t boundMs, int32_t stepMs) {
    state.RequestStop();
    const uint32_t start = stopper.NowMilliseconds();
    for (;;) {
        switch (state.Phase()) {
            case ReaderPhase::Out:
                return StopOutcome::Ended;
            case ReaderPhase::WaitingOnWindow:
                return StopOutcome::LeftWaiting;
            case ReaderPhase::Busy:
                break;
        }
        if (stopper.NowMilliseconds() - start >= static_cast<uint32_t>(boundMs)) {
            stopper.Terminate();
            return StopOutcome::Terminated;
        }
        // A cancel that lands before the read starts is lost, hence one per step.
        stopper.CancelBlockedIo();
        if (stopper.WaitForExit(stepMs)) return StopOutcome::Ended;
    }
}

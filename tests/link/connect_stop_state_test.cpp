// The reader's stop hand-over: the closer's bounded wait and the waiting-on-window rule,
// with a scripted stopper and with a real second thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "link/stop_state.h"

namespace {

class ScriptedStopper : public StopPlatform {
public:
    int exitAfterWaits = -1;  // -1: never ends
    // An exit handling that declares its wait on the window at this wait.
    StopState* declaring = nullptr;
    int declareAtWait = -1;
    int cancels = 0;
    int waits = 0;
    uint32_t now = 1000;

    void CancelBlockedIo() override { ++cancels; }
    bool WaitForExit(int32_t ms) override {
        ++waits;
        now += static_cast<uint32_t>(ms);
        if (declaring && waits == declareAtWait) declaring->BeginWindowWait();
        return waits == exitAfterWaits;
    }
    uint32_t NowMilliseconds() override { return now; }
};

// The state's destructor is protected: the last release deletes it.
class CountedState : public StopState {
public:
    explicit CountedState(int* deletions) : deletions_(deletions) {}

protected:
    ~CountedState() override { ++*deletions_; }

private:
    int* deletions_;
};

StopState* NewState() { return new StopState(); }

constexpr StopTimes kTimes = {2000, 5};

void Place(StopState& state, ThreadPhase phase) {
    if (phase == ThreadPhase::Out) state.Finish();
    if (phase == ThreadPhase::InExitHandling) state.EnterExitHandling();
    if (phase == ThreadPhase::WaitingOnWindow) {
        state.EnterExitHandling();
        state.BeginWindowWait();
    }
}

TEST(ConnectStopState, CloserOutcomes) {
    const struct {
        const char* label;
        ThreadPhase phase;
        int exitAfterWaits;
        int declareAtWait;
        StopOutcome outcome;
        int cancels;
        int waits;
    } cases[] = {
        {"already out", ThreadPhase::Out, -1, -1, StopOutcome::Ended, 0, 0},
        {"waiting on window", ThreadPhase::WaitingOnWindow, -1, -1, StopOutcome::LeftWaiting, 0, 0},
        // Owner code that has not declared its wait yet is waited for, however slow, never cancelled.
        {"exit handling that declares after 150 ms", ThreadPhase::InExitHandling, -1, 30, StopOutcome::LeftWaiting,
         0, 30},
        {"exit handling that ends", ThreadPhase::InExitHandling, 3, -1, StopOutcome::Ended, 0, 3},
        // Past the bound the closer returns; nothing is ever terminated (the platform cannot).
        {"exit handling that never declares", ThreadPhase::InExitHandling, -1, -1, StopOutcome::LeftBehind, 0, 400},
        {"ends after first cancel", ThreadPhase::Busy, 1, -1, StopOutcome::Ended, 1, 1},
        {"ends after fourth cancel", ThreadPhase::Busy, 4, -1, StopOutcome::Ended, 4, 4},
        {"never ends", ThreadPhase::Busy, -1, -1, StopOutcome::LeftBehind, 400, 400},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        StopState* state = NewState();
        Place(*state, c.phase);
        ScriptedStopper stopper;
        stopper.exitAfterWaits = c.exitAfterWaits;
        stopper.declaring = state;
        stopper.declareAtWait = c.declareAtWait;
        EXPECT_EQ(StopThread(*state, stopper, kTimes), c.outcome);
        EXPECT_TRUE(state->StopRequested());
        EXPECT_EQ(stopper.cancels, c.cancels);
        EXPECT_EQ(stopper.waits, c.waits);
        state->Release();
    }
}

// The reader's steps after a stop was requested: which say "touch nothing", and where they leave it.
TEST(ConnectStopState, ReaderStepsAfterAStop) {
    const struct {
        const char* label;
        ThreadPhase from;
        bool (StopState::*step)();
        ThreadPhase after;
    } cases[] = {
        {"enter exit handling", ThreadPhase::Busy, &StopState::EnterExitHandling, ThreadPhase::Out},
        {"begin the window wait", ThreadPhase::InExitHandling, &StopState::BeginWindowWait,
         ThreadPhase::WaitingOnWindow},
        {"leave the exit handling", ThreadPhase::WaitingOnWindow, &StopState::LeaveExitHandling, ThreadPhase::Out},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        StopState* state = NewState();
        Place(*state, c.from);
        EXPECT_TRUE((state->*c.step)());
        state->RequestStop();
        Place(*state, c.from);
        EXPECT_FALSE((state->*c.step)());
        EXPECT_EQ(state->Phase(), c.after);
        state->Release();
    }
}

TEST(ConnectStopState, LastReleaseDeletes) {
    int deletions = 0;
    StopState* state = new CountedState(&deletions);
    state->AddRef();
    state->Release();
    EXPECT_EQ(deletions, 0);
    state->Release();
    EXPECT_EQ(deletions, 1);
}

class RealStopper : public StopPlatform {
public:
    void CancelBlockedIo() override {}
    bool WaitForExit(int32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return false;
    }
    uint32_t NowMilliseconds() override {
        return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now().time_since_epoch())
                                         .count());
    }
};

// A reader alternating between busy work and the owner's exit handling (which reads the owner,
// declares its wait, waits, and returns), against a closer that marks everything gone as soon as
// the stop returns: no touch may follow.
TEST(ConnectStopState, NoTouchAfterTheStopReturns) {
    for (int round = 0; round < 300; ++round) {
        StopState* state = NewState();
        state->AddRef();
        std::atomic<bool> gone{false};
        std::atomic<int> lateTouches{0};
        auto touch = [&] {
            if (gone.load()) lateTouches.fetch_add(1);
        };
        std::thread reader([&, state] {
            for (;;) {
                if (state->StopRequested()) {
                    state->Finish();
                    break;
                }
                touch();
                if (!state->EnterExitHandling()) break;
                touch();
                if (state->BeginWindowWait()) std::this_thread::yield();
                if (!state->LeaveExitHandling()) break;
                touch();
            }
            state->Release();
        });
        if (round % 2) std::this_thread::sleep_for(std::chrono::microseconds(50));
        RealStopper stopper;
        const StopOutcome outcome = StopThread(*state, stopper, {2000, 1});
        gone.store(true);
        reader.join();
        EXPECT_NE(outcome, StopOutcome::LeftBehind);
        EXPECT_EQ(lateTouches.load(), 0) << "round " << round;
        state->Release();
    }
}

}  // namespace

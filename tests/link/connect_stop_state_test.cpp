// The reader's stop hand-over: the closer's bounded wait and the waiting-on-window rule,
// with a scripted stopper and with a real second thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "link/stop_state.h"

namespace {

class ScriptedStopper : public ReaderStopper {
public:
    int exitAfterWaits = -1;  // -1: never ends
    int cancels = 0;
    int waits = 0;
    int terminates = 0;
    uint32_t now = 1000;

    void CancelBlockedIo() override { ++cancels; }
    bool WaitForExit(int32_t ms) override {
        ++waits;
        now += static_cast<uint32_t>(ms);
        return waits == exitAfterWaits;
    }
    void Terminate() override { ++terminates; }
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

TEST(ConnectStopState, CloserOutcomes) {
    const struct {
        const char* label;
        ReaderPhase phase;
        int exitAfterWaits;
        StopOutcome outcome;
        int cancels;
        int terminates;
    } cases[] = {
        {"already out", ReaderPhase::Out, -1, StopOutcome::Ended, 0, 0},
        {"waiting on window", ReaderPhase::WaitingOnWindow, -1, StopOutcome::LeftWaiting, 0, 0},
        {"ends after first cancel", ReaderPhase::Busy, 1, StopOutcome::Ended, 1, 0},
        {"ends after fourth cancel", ReaderPhase::Busy, 4, StopOutcome::Ended, 4, 0},
        {"never ends", ReaderPhase::Busy, -1, StopOutcome::Terminated, 400, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        StopState* state = NewState();
        if (c.phase == ReaderPhase::Out) state->Finish();
        if (c.phase == ReaderPhase::WaitingOnWindow) state->EnterWaiting();
        ScriptedStopper stopper;
        stopper.exitAfterWaits = c.exitAfterWaits;
        EXPECT_EQ(StopReader(*state, stopper, 2000, 5), c.outcome);
        EXPECT_TRUE(state->StopRequested());
        EXPECT_EQ(stopper.cancels, c.cancels);
        EXPECT_EQ(stopper.terminates, c.terminates);
        state->Release();
    }
}

TEST(ConnectStopState, LeavingTheWaitAfterAStopTouchesNothing) {
    StopState* state = NewState();
    state->EnterWaiting();
    EXPECT_EQ(state->Phase(), ReaderPhase::WaitingOnWindow);
    EXPECT_TRUE(state->LeaveWaiting());
    EXPECT_EQ(state->Phase(), ReaderPhase::Busy);
    state->EnterWaiting();
    state->RequestStop();
    EXPECT_FALSE(state->LeaveWaiting());
    EXPECT_EQ(state->Phase(), ReaderPhase::Out);
    state->Release();
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

class RealStopper : public ReaderStopper {
public:
    void CancelBlockedIo() override {}
    bool WaitForExit(int32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return false;
    }
    void Terminate() override { terminated = true; }
    uint32_t NowMilliseconds() override {
        return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now().time_since_epoch())
                                         .count());
    }
    bool terminated = false;
};

// A reader alternating between busy work and waits on the window, against a closer that marks
// the link gone as soon as the stop returns: no touch may follow.
TEST(ConnectStopState, NoTouchAfterTheStopReturns) {
    for (int round = 0; round < 300; ++round) {
        StopState* state = NewState();
        state->AddRef();
        std::atomic<bool> gone{false};
        std::atomic<int> lateTouches{0};
        std::atomic<int> touches{0};
        auto touch = [&] {
            touches.fetch_add(1);
            if (gone.load()) lateTouches.fetch_add(1);
        };
        std::thread reader([&, state] {
            for (;;) {
                if (state->StopRequested()) {
                    state->Finish();
                    break;
                }
                touch();
                state->EnterWaiting();
                std::this_thread::yield();
                if (!state->LeaveWaiting()) break;
                touch();
            }
            state->Release();
        });
        if (round % 2) std::this_thread::sleep_for(std::chrono::microseconds(50));
        RealStopper stopper;
        const StopOutcome outcome = StopReader(*state, stopper, 2000, 1);
        gone.store(true);
        reader.join();
        EXPECT_NE(outcome, StopOutcome::Terminated);
        EXPECT_EQ(lateTouches.load(), 0) << "round " << round;
        state->Release();
    }
}

}  // namespace

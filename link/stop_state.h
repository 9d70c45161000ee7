// The stop hand-over between a link's thread (the reader, and the writer of the outbound road)
// and the link that closes it: a shared, reference-counted record of where the thread stands,
// and the bounded stop procedure.
#pragma once
#include <atomic>
#include <cstdint>

// Busy: reading, decoding or writing; the link's handles and the display may be in use.
// InExitHandling: inside the owner's exit handling, which may still read the owner's state and
// does not wait on the window thread until it declares so; the closer waits for it.
// WaitingOnWindow: the exit handling waits on the window thread; nothing of the link or the
// owner is in use and the closer must not wait. Out: the thread touches nothing any more.
enum class ThreadPhase { Busy, InExitHandling, WaitingOnWindow, Out };

class StopState {
public:
    StopState() = default;
    StopState(const StopState&) = delete;
    StopState& operator=(const StopState&) = delete;

    // Shared by the thread and the link; the last release deletes the object.
    void AddRef() { refs_.fetch_add(1); }
    void Release();

    // The stopped thread's side.
    bool StopRequested() const { return stop_.load(); }
    // Before calling the owner's exit handling; false (and out) when a stop is under way.
    bool EnterExitHandling() { return Enter(ThreadPhase::InExitHandling); }
    // Called by the exit handling once it holds copies of what it needs and is about to wait on
    // the window thread; false when a stop is under way: it must then return at once.
    bool BeginWindowWait() { return Enter(ThreadPhase::WaitingOnWindow); }
    // After the exit handling returned; false when a stop arrived meanwhile: the caller must
    // then touch nothing of the link again.
    bool LeaveExitHandling() { return Enter(ThreadPhase::Busy); }
    void Finish() { phase_.store(ThreadPhase::Out); }

    // Closer side.
    void RequestStop() { stop_.store(true); }
    ThreadPhase Phase() const { return phase_.load(); }

protected:
    virtual ~StopState() = default;

private:
    bool Enter(ThreadPhase phase);

    std::atomic<int32_t> refs_{1};
    std::atomic<bool> stop_{false};
    std::atomic<ThreadPhase> phase_{ThreadPhase::Busy};
};

// What stopping needs of the platform. A thread is never terminated: one killed inside a lock
// (the display's, the queue's, the heap's) would leave it held for the rest of the shut-down.
class StopPlatform {
public:
    virtual ~StopPlatform() = default;
    // Breaks a blocked read or write of the thread, if any.
    virtual void CancelBlockedIo() = 0;
    // Waits up to the given time for the thread to end; true when it has ended.
    virtual bool WaitForExit(int32_t milliseconds) = 0;
    virtual uint32_t NowMilliseconds() = 0;
};

// LeftBehind: still busy after the bound, in practice inside a read or write that ignored every
// cancel (a remote pipe the network holds). It keeps its own references and its pipe, and its
// stop flag keeps it from everything else once the call returns; the process may exit meanwhile,
// which ends it inside that call, holding nothing of ours.
enum class StopOutcome { Ended, LeftWaiting, LeftBehind };

struct StopTimes {
    int32_t boundMs;  // for a thread that neither ends nor declares its wait, then it is left behind
    int32_t stepMs;   // between cancels
};

// Requests the stop, then re-cancels every step until the thread is out; never waits on a
// reader that has declared its wait on the window thread; returns after the bound whatever the
// thread does.
StopOutcome StopThread(StopState& state, StopPlatform& stopper, const StopTimes& times);

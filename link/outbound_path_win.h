// The panel's one outbound road: the queue every command and answer joins, and the writer
// thread that alone writes the command pipe, so that no other thread ever waits on the control.
#pragma once
#include <windows.h>

#include "link/outbound_queue.h"
#include "link/stop_state.h"

// Told that the control is lost: by the writer thread when a write meets a gone pipe (whatever
// it carried), by the reader thread when the reads find it gone, or by the thread that
// overflowed the queue. It must not wait on any thread.
class ControlLossListener {
public:
    virtual void OnControlLost() = 0;

protected:
    ~ControlLossListener() = default;
};

// Shared by the writer thread and its owners (AddRef, Release); stopped as the reader is, but
// it never waits on the window thread, so only the busy and out phases occur.
class OutboundPath final : public StopState {
public:
    // Starts the writer on this pipe (not owned); null without memory or thread. The caller holds
    // one reference.
    static OutboundPath* Start(HANDLE writePipe, ControlLossListener* listener);

    // Joins the queue (its ticket to *ticket when queued); an overflow also tells the listener.
    OutboundQueue::Added Add(const char* bytes, int32_t count, uint64_t* ticket = nullptr);
    // The reader's answer: waits for room while the control does not read (see the queue).
    void AddAnswer(const char* bytes, int32_t count);
    OutboundQueue::Backlog Waiting() const { return queue_.Waiting(GetTickCount64()); }
    OutboundQueue& Queue() { return queue_; }
    const OutboundQueue& Queue() const { return queue_; }

    // Discards what waits, breaks a blocked write and waits for the writer to end (left to end
    // by itself after StopBoundMs); the listener is not called after it returns.
    StopOutcome Stop();
    // The write pipe goes with the last reference: a writer left in a write keeps it until the
    // write returns (closing a synchronous handle under a pending call may block on Windows).
    void ClosePipeOnRelease() { closesPipe_ = true; }

    static constexpr int32_t StopBoundMs = 1000;
    static constexpr int32_t StopStepMs = 5;
    // How long a gone pipe waits for the inbound stream's end before reporting, so that a
    // control that sent its exit notice and closed is not reported lost.
    static constexpr uint32_t InboundEndWaitMs = 500;
    // Pause before a write that failed while the pipe is still there is tried again.
    static constexpr DWORD RetryPauseMs = 20;

private:
    OutboundPath(HANDLE writePipe, ControlLossListener* listener) : pipe_(writePipe), listener_(listener) {}
    ~OutboundPath() override;
    static DWORD WINAPI WriterThreadMain(void* self);
    void Run();
    // False when the pipe is gone (or the path stopping); true when the bytes went or may be retried.
    bool WriteOut(const char* bytes, uint32_t count);
    void ReportLoss();

    OutboundQueue queue_;
    HANDLE pipe_;
    ControlLossListener* listener_;
    HANDLE thread_ = nullptr;
    bool closesPipe_ = false;
};

// The reader thread: its shared context (outlives the link), its loop, the loss it reports when
// the reads find the control gone, and its stop by breaking the blocked read instead of
// terminating it.
#pragma once
#include <windows.h>

#include "protocol/display_event.h"
#include "link/byte_io.h"
#include "link/outbound_path_win.h"
#include "link/pipe_io_win.h"
#include "link/stop_state.h"
#include "link/stream_decoder.h"

// Everything the reader thread uses besides the display, held by the thread and the link.
class ReaderContext final : public StopState {
public:
    // Holds a reference of the outbound road, which its answers join, until it is deleted. The
    // listener (null: none) is told once when the reads find the control gone, not after a
    // stop; the source replaces the read pipe's reads (tests).
    ReaderContext(HANDLE readPipe, OutboundPath* outbound, EventSink* display, ControlLossListener* loss,
                  PipeSource* source = nullptr);

    HANDLE ReadPipe() const { return readPipe_; }
    // The read pipe goes with the last reference: a reader left in a read keeps it until the read
    // returns (closing a synchronous handle under a pending read may block on Windows).
    void ClosePipeOnRelease() { closesPipe_ = true; }

    // The thread procedure; the context is its only argument and it holds one reference.
    static DWORD WINAPI ReaderThreadMain(void* context);

    // Back-off after a failed read whose cause is not a gone pipe.
    static constexpr DWORD RetryPauseMs = 20;

private:
    // Drops events once a stop is asked for, and marks the wait on the window around the exit.
    class GuardedSink final : public EventSink {
    public:
        GuardedSink(ReaderContext& context, EventSink* display) : context_(context), display_(display) {}
        int32_t ApplyEvent(uint32_t type, intptr_t kind, int32_t argument) override;

    private:
        ReaderContext& context_;
        EventSink* display_;
    };

    // The "VFD" answer joins the outbound road behind the commands made before it, waiting for
    // room while the control does not read (the display pipe then waits too); skipped once a
    // stop is asked for.
    class AnswerWriter final : public ByteWriter {
    public:
        explicit AnswerWriter(ReaderContext& context) : context_(context) {}
        int WriteBytes(const char* bytes, int32_t count) override;

    private:
        ReaderContext& context_;
    };

    ~ReaderContext() override;
    void Run();
    // True when the reads found the control gone.
    bool RunReads();
    bool StoppableRead(uint8_t* buf, uint32_t capacity, uint32_t* got);

    class StoppableSource final : public ReadSource {
    public:
        explicit StoppableSource(ReaderContext& context) : context_(context) {}
        bool Read(uint8_t* buf, uint32_t capacity, uint32_t* got) override {
            return context_.StoppableRead(buf, capacity, got);
        }

    private:
        ReaderContext& context_;
    };

    HANDLE readPipe_;
    OutboundPath* outbound_;
    ControlLossListener* loss_;
    PipeReadSource pipeReads_;
    PipeSource& pipeSource_;
    StoppableSource source_;
    GuardedSink sink_;
    AnswerWriter answer_;
    StreamDecoder decoder_;
    bool closesPipe_ = false;
};

namespace reader_thread {
constexpr int32_t StopBoundMs = 2000;
constexpr int32_t StopStepMs = 5;

// See ControlLink::BeginWaitOnWindow.
bool BeginWindowWait();
// Tests: runs on the reader right after it has declared that wait (null: nothing).
void UseWindowWaitHook(void (*hook)());

// Starts the thread running at once with one reference of the context; null when it cannot start.
HANDLE Start(ReaderContext* context);
// Stops the thread and closes its handle; returns how the stop ended (a thread left behind still
// holds its reference of the context).
StopOutcome Stop(HANDLE thread, ReaderContext* context);
}  // namespace reader_thread

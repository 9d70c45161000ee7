// The reader loop with stop checks around every read, the loss it finds, and the closer's side
// of the stop.
#include "link/reader_thread_win.h"

#include <atomic>

#include "link/read_loop.h"
#include "link/thread_stopper_win.h"

ReaderContext::ReaderContext(HANDLE readPipe, OutboundPath* outbound, EventSink* display, ControlLossListener* loss,
                             PipeSource* source)
    : readPipe_(readPipe),
      outbound_(outbound),
      loss_(loss),
      pipeReads_(readPipe),
      pipeSource_(source ? *source : pipeReads_),
      source_(*this),
      sink_(*this, display),
      answer_(*this) {
    if (outbound_) outbound_->AddRef();
}

ReaderContext::~ReaderContext() {
    if (outbound_) outbound_->Release();
    if (closesPipe_ && readPipe_) CloseHandle(readPipe_);
}

namespace {
// The context whose reader is inside the owner's exit handling on this thread.
thread_local ReaderContext* t_inExitHandling = nullptr;
}  // namespace

int32_t ReaderContext::GuardedSink::ApplyEvent(uint32_t type, intptr_t kind, int32_t argument) {
    if (context_.StopRequested() || !display_) return 1;
    if (type != display_event::ControlExited) return display_->ApplyEvent(type, kind, argument);
    // A command pipe that breaks from now on is the control's orderly end, not a loss.
    if (context_.outbound_) context_.outbound_->Queue().NoteControlExited();
    // The owner's exit handling waits on the window thread, whose close may be closing this link.
    if (!context_.EnterExitHandling()) return 1;
    t_inExitHandling = &context_;
    display_->ApplyEvent(type, kind, argument);
    t_inExitHandling = nullptr;
    context_.LeaveExitHandling();
    return 1;
}

int ReaderContext::AnswerWriter::WriteBytes(const char* bytes, int32_t count) {
    if (!context_.StopRequested() && context_.outbound_) context_.outbound_->AddAnswer(bytes, count);
    return 1;
}

bool ReaderContext::StoppableRead(uint8_t* buf, uint32_t capacity, uint32_t* got) {
    // A cancel that arrives just before the read starts is lost; the closer repeats it.
    if (StopRequested()) return false;
    const bool ok = pipeSource_.Read(buf, capacity, got);
    if (StopRequested()) return false;
    return ok;
}

void ReaderContext::Run() {
    // Told while the reader is still busy, so that a closing link waits for the call; a post
    // never waits on the window thread.
    if (RunReads() && loss_ && !StopRequested()) loss_->OnControlLost();
    if (outbound_) outbound_->Queue().NoteInboundEnded();
}

bool ReaderContext::RunReads() {
    ReadFailureWatch failures;
    for (;;) {
        const int32_t result = ReadAndDecode(source_, decoder_, &sink_, answer_);
        // After the control's exit nothing more is read, and the link may be gone already.
        if (result == read_result::ControlExited || StopRequested()) return false;
        if (result != read_result::Failed) {
            failures.Succeeded();
            continue;
        }
        // A display that nothing feeds any more must not stay up looking live.
        if (failures.Failed(pipe_io::IsPipeGone(pipeSource_.LastError()), GetTickCount64())) return true;
        Sleep(RetryPauseMs);
    }
}

DWORD WINAPI ReaderContext::ReaderThreadMain(void* context) {
    auto* self = static_cast<ReaderContext*>(context);
    self->Run();
    self->Finish();
    self->Release();
    return 0;
}

namespace reader_thread {

namespace {
std::atomic<void (*)()> g_windowWaitHook{nullptr};
}  // namespace

void UseWindowWaitHook(void (*hook)()) { g_windowWaitHook.store(hook); }

bool BeginWindowWait() {
    ReaderContext* context = t_inExitHandling;
    const bool declared = context ? context->BeginWindowWait() : true;
    if (declared) {
        if (void (*hook)() = g_windowWaitHook.load()) hook();
    }
    return declared;
}

HANDLE Start(ReaderContext* context) {
    context->AddRef();
    HANDLE thread = CreateThread(nullptr, 0, &ReaderContext::ReaderThreadMain, context, 0, nullptr);
    if (!thread) context->Release();
    return thread;
}

StopOutcome Stop(HANDLE thread, ReaderContext* context) {
    ThreadStopper stopper(thread);
    const StopOutcome outcome = StopThread(*context, stopper, {StopBoundMs, StopStepMs});
    // A thread left in its read holds its own reference, so the context stays allocated.
    CloseHandle(thread);
    return outcome;
}

}  // namespace reader_thread

// The writer thread: takes whole commands from the queue, writes them with plain blocking
// writes (never cancelled while the program runs), and tells a gone control from a slow one.
#include "link/outbound_path_win.h"

#include <new>

#include "link/pipe_io_win.h"
#include "link/thread_stopper_win.h"
#include "link/write_rule.h"

namespace {
constexpr uint32_t kWriteChunk = 4096;

class FileFlusher final : public PipeFlusher {
public:
    explicit FileFlusher(HANDLE pipe) : pipe_(pipe) {}
    bool Flush() override { return FlushFileBuffers(pipe_) != FALSE; }

private:
    HANDLE pipe_;
};
}  // namespace

OutboundPath* OutboundPath::Start(HANDLE writePipe, ControlLossListener* listener) {
    auto* path = new (std::nothrow) OutboundPath(writePipe, listener);
    if (!path) return nullptr;
    if (!path->queue_.Allocate()) {
        path->Release();
        return nullptr;
    }
    path->AddRef();
    path->thread_ = CreateThread(nullptr, 0, &OutboundPath::WriterThreadMain, path, 0, nullptr);
    if (!path->thread_) {
        path->Release();
        path->Release();
        return nullptr;
    }
    return path;
}

OutboundPath::~OutboundPath() {
    if (closesPipe_ && pipe_) CloseHandle(pipe_);
}

OutboundQueue::Added OutboundPath::Add(const char* bytes, int32_t count, uint64_t* ticket) {
    if (!bytes || count <= 0) return OutboundQueue::Added::Queued;
    const OutboundQueue::Added added = queue_.Add(bytes, static_cast<uint32_t>(count), GetTickCount64(), ticket);
    if (added == OutboundQueue::Added::Overflow) ReportLoss();
    return added;
}

void OutboundPath::AddAnswer(const char* bytes, int32_t count) {
    if (bytes && count > 0) queue_.AddWaitingForRoom(bytes, static_cast<uint32_t>(count), GetTickCount64());
}

DWORD WINAPI OutboundPath::WriterThreadMain(void* self) {
    auto* path = static_cast<OutboundPath*>(self);
    path->Run();
    path->Finish();
    path->Release();
    return 0;
}

void OutboundPath::Run() {
    char buf[kWriteChunk];
    for (;;) {
        const uint32_t n = queue_.Take(buf, sizeof buf);
        if (n == 0 || StopRequested()) return;
        if (WriteOut(buf, n)) continue;
        if (StopRequested()) return;
        const bool report = queue_.MarkGone();
        if (report && !queue_.WaitForInboundEnd(InboundEndWaitMs) && !StopRequested()) ReportLoss();
        return;
    }
}

bool OutboundPath::WriteOut(const char* bytes, uint32_t count) {
    DWORD written = 0;
    // Blocks for as long as the control does not read: only this thread waits for it.
    const BOOL ok = WriteFile(pipe_, bytes, count, &written, nullptr);
    const DWORD error = ok ? 0 : GetLastError();
    if (StopRequested()) return false;
    queue_.Written(written, GetTickCount64());
    FileFlusher flusher(pipe_);
    switch (JudgeWrite({ok != FALSE, written, pipe_io::IsPipeGone(error)}, flusher)) {
    case WriteVerdict::Went: return true;
    case WriteVerdict::Gone: return false;
    case WriteVerdict::TryAgain: break;
    }
    Sleep(RetryPauseMs);
    return true;
}

void OutboundPath::ReportLoss() {
    if (listener_ && !StopRequested()) listener_->OnControlLost();
}

StopOutcome OutboundPath::Stop() {
    queue_.Stop();
    if (!thread_) {
        RequestStop();
        return StopOutcome::Ended;
    }
    ThreadStopper stopper(thread_);
    // A writer left in its write holds its own reference, so the path stays allocated.
    const StopOutcome outcome = StopThread(*this, stopper, {StopBoundMs, StopStepMs});
    CloseHandle(thread_);
    thread_ = nullptr;
    return outcome;
}

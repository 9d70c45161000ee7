// Overlapped connect, read and write on a server end, each waited for within bounds and
// cancelled, with the system's hold on its buffer ended, when given up.
#include "link/pipe_server_io_win.h"

#include <algorithm>

#include "link/pipe_server_win.h"

namespace pipe_server {
namespace {
constexpr DWORD kReadUpToBlock = 256;

// 0: no deadline.
ULONGLONG DeadlineOf(const IoBounds& bounds) {
    return bounds.timeoutMs == INFINITE ? 0 : GetTickCount64() + bounds.timeoutMs;
}

DWORD LeftUntil(ULONGLONG deadline) {
    if (!deadline) return INFINITE;
    const ULONGLONG now = GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}
}  // namespace

OverlappedIo::OverlappedIo() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    if (!event_) error_ = GetLastError();
}

OverlappedIo::~OverlappedIo() {
    Cancel();
    if (event_) CloseHandle(event_);
}

bool OverlappedIo::Begin() {
    Cancel();
    if (!event_) return false;
    overlapped_ = {};
    overlapped_.hEvent = event_;
    ResetEvent(event_);
    return true;
}

bool OverlappedIo::Started(HANDLE pipe, BOOL ok, DWORD alsoStarted) {
    if (!ok) {
        const DWORD error = GetLastError();
        if (error != ERROR_IO_PENDING && error != alsoStarted) {
            error_ = error;
            return false;
        }
    }
    pipe_ = pipe;  // also when it finished at once: the event is set then
    return true;
}

bool OverlappedIo::StartConnect(HANDLE pipe) {
    if (!Begin()) return false;
    switch (Listen(pipe, &overlapped_)) {
        case Listening::Connected: doneAtOnce_ = true; return Started(pipe, TRUE);
        case Listening::Pending: return Started(pipe, TRUE);
        case Listening::Failed: break;
    }
    error_ = GetLastError();
    return false;
}

bool OverlappedIo::StartRead(HANDLE pipe, void* buffer, DWORD capacity) {
    // A read that took part of a message has finished: its outcome says so.
    return Begin() && Started(pipe, ReadFile(pipe, buffer, capacity, nullptr, &overlapped_), ERROR_MORE_DATA);
}

bool OverlappedIo::StartWrite(HANDLE pipe, const void* bytes, DWORD count) {
    return Begin() && Started(pipe, WriteFile(pipe, bytes, count, nullptr, &overlapped_));
}

bool OverlappedIo::Ready() const {
    return Pending() && (doneAtOnce_ || WaitForSingleObject(event_, 0) == WAIT_OBJECT_0);
}

IoOutcome OverlappedIo::Take(DWORD* count) {
    DWORD moved = 0;
    const bool ok = doneAtOnce_ || GetOverlappedResult(pipe_, &overlapped_, &moved, FALSE);
    if (!ok) error_ = GetLastError();
    pipe_ = nullptr;
    doneAtOnce_ = false;
    if (count) *count = moved;
    return ok ? IoOutcome::Done : IoOutcome::Failed;
}

IoOutcome OverlappedIo::WaitUntil(const IoBounds& bounds, ULONGLONG deadline, DWORD* count) {
    if (count) *count = 0;
    if (!Pending()) {
        error_ = ERROR_NOT_FOUND;
        return IoOutcome::Failed;
    }
    if (doneAtOnce_) return Take(count);
    // The operation's own event first: one that finished as the stop came counts as done.
    const HANDLE waits[2] = {event_, bounds.stop};
    for (;;) {
        const DWORD left = LeftUntil(deadline);
        const DWORD slice = bounds.keepWaiting ? (std::min)(left, bounds.pollMs) : left;
        const DWORD woke = WaitForMultipleObjects(bounds.stop ? 2 : 1, waits, FALSE, slice);
        if (woke == WAIT_OBJECT_0) return Take(count);
        if (woke == WAIT_OBJECT_0 + 1) return IoOutcome::Stopped;
        if (woke != WAIT_TIMEOUT) {
            const DWORD error = GetLastError();
            Cancel();
            error_ = error;
            return IoOutcome::Failed;
        }
        if (slice == left || !bounds.keepWaiting()) return IoOutcome::TimedOut;
    }
}

IoOutcome OverlappedIo::Wait(const IoBounds& bounds, DWORD* count) { return WaitUntil(bounds, DeadlineOf(bounds), count); }

IoOutcome OverlappedIo::Settle(IoOutcome waited, DWORD* count) {
    if (!Pending()) return waited;
    if (doneAtOnce_) return Take(count);
    CancelIoEx(pipe_, &overlapped_);
    DWORD moved = 0;
    // Returns once the system has let go of the buffer, whether cancelled or finished.
    const bool finished = GetOverlappedResult(pipe_, &overlapped_, &moved, TRUE) != FALSE;
    const DWORD error = finished ? 0 : GetLastError();
    pipe_ = nullptr;
    if (error == ERROR_OPERATION_ABORTED) return waited;
    // It finished before the cancel: what it moved is gone from the pipe, so it counts.
    if (count) *count = moved;
    if (finished) return IoOutcome::Done;
    error_ = error;
    return IoOutcome::Failed;
}

IoOutcome OverlappedIo::Connect(HANDLE pipe, const IoBounds& bounds) {
    if (!StartConnect(pipe)) return IoOutcome::Failed;
    return Settle(Wait(bounds));
}

IoOutcome OverlappedIo::Read(HANDLE pipe, void* buffer, DWORD capacity, DWORD* got, const IoBounds& bounds) {
    if (got) *got = 0;
    if (!StartRead(pipe, buffer, capacity)) return IoOutcome::Failed;
    return Settle(Wait(bounds, got), got);
}

IoOutcome OverlappedIo::WriteAll(HANDLE pipe, const void* bytes, DWORD count, const IoBounds& bounds) {
    const ULONGLONG deadline = DeadlineOf(bounds);
    const char* next = static_cast<const char*>(bytes);
    while (count > 0) {
        DWORD written = 0;
        if (!StartWrite(pipe, next, count)) return IoOutcome::Failed;
        const IoOutcome outcome = Settle(WaitUntil(bounds, deadline, &written), &written);
        if (outcome != IoOutcome::Done) return outcome;
        if (written == 0) {  // no progress: would write for ever
            error_ = ERROR_WRITE_FAULT;
            return IoOutcome::Failed;
        }
        next += written;
        count -= written;
    }
    return IoOutcome::Done;
}

IoOutcome OverlappedIo::ReadUpTo(HANDLE pipe, size_t want, std::string& appendTo, const IoBounds& bounds) {
    const ULONGLONG deadline = DeadlineOf(bounds);
    char block[kReadUpToBlock];
    for (size_t got = 0; got < want;) {
        DWORD n = 0;
        if (!StartRead(pipe, block, static_cast<DWORD>((std::min)(want - got, sizeof block)))) return IoOutcome::Failed;
        const IoOutcome outcome = Settle(WaitUntil(bounds, deadline, &n), &n);
        if (outcome != IoOutcome::Done) return outcome;
        appendTo.append(block, n);
        got += n;
    }
    return IoOutcome::Done;
}

}  // namespace pipe_server

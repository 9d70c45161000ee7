// Synchronous pipe reads and writes, with the errors that mean the other end is gone.
#include "link/pipe_io_win.h"

namespace {
constexpr DWORD kGoneErrors[] = {ERROR_NO_DATA, ERROR_BROKEN_PIPE, ERROR_PIPE_NOT_CONNECTED};

// A named function: a lambda has no __stdcall conversion on x86.
VOID CALLBACK CancelWrite(PVOID thread, BOOLEAN) { CancelSynchronousIo(thread); }
}  // namespace

namespace pipe_io {

bool IsPipeGone(DWORD error) {
    for (DWORD gone : kGoneErrors)
        if (error == gone) return true;
    return false;
}

BOOL BoundedWrite(HANDLE pipe, const char* bytes, DWORD count, DWORD* written, DWORD stallMs) {
    // The write is broken from a timer thread if the other end has not taken the bytes in time.
    HANDLE self = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    HANDLE timer = nullptr;
    if (self && !CreateTimerQueueTimer(&timer, nullptr, CancelWrite, self, stallMs, 0, WT_EXECUTEONLYONCE))
        timer = nullptr;
    const BOOL ok = WriteFile(pipe, bytes, count, written, nullptr);
    const DWORD error = ok ? 0 : GetLastError();
    // Waits for a cancel already running, so that it cannot reach a later call of this thread.
    if (timer) DeleteTimerQueueTimer(nullptr, timer, INVALID_HANDLE_VALUE);
    if (self) CloseHandle(self);
    SetLastError(error);
    return ok;
}

bool WriteOnce(HANDLE pipe, const char* bytes, int32_t count, DWORD stallMs) {
    if (!pipe || !bytes || count <= 0) return false;
    DWORD written = 0;
    return !BoundedWrite(pipe, bytes, static_cast<DWORD>(count), &written, stallMs) &&
           GetLastError() == ERROR_OPERATION_ABORTED;
}

connect_logic::PipeHandle OpenPipe(const char* name, connect_logic::PipeAccess access) {
    const DWORD rights = access == connect_logic::PipeAccess::Read ? GENERIC_READ : GENERIC_WRITE;
    HANDLE pipe = CreateFileA(name, rights, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    return pipe == INVALID_HANDLE_VALUE ? nullptr : pipe;
}

void ClosePipe(connect_logic::PipeHandle pipe) {
    if (pipe) CloseHandle(pipe);
}

}  // namespace pipe_io

bool PipeReadSource::Read(uint8_t* buf, uint32_t capacity, uint32_t* got) {
    DWORD n = 0;
    const BOOL ok = ReadFile(pipe_, buf, capacity, &n, nullptr);
    lastError_ = ok ? 0 : GetLastError();
    if (got) *got = ok ? n : 0;
    return ok != FALSE;
}

PipeWriter::WriteStatus PipeCommandWriter::Write(const char* bytes, uint32_t count, uint32_t* written) {
    DWORD n = 0;
    const BOOL ok = pipe_ ? pipe_io::BoundedWrite(pipe_, bytes, count, &n, stallMs_) : FALSE;
    const DWORD error = ok ? 0 : (pipe_ ? GetLastError() : ERROR_INVALID_HANDLE);
    if (written) *written = n;
    if (ok) return WriteStatus::Ok;
    stalled_ = error == ERROR_OPERATION_ABORTED;
    if (stalled_) return WriteStatus::Stalled;
    return pipe_io::IsPipeGone(error) ? WriteStatus::PipeGone : WriteStatus::Failed;
}

bool PipeCommandWriter::Flush() { return pipe_ && FlushFileBuffers(pipe_) != FALSE; }

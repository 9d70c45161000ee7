// Synchronous pipe reads and writes, with the errors that mean the other end is gone.
#include "link/pipe_io_win.h"

namespace {
constexpr DWORD kGoneErrors[] = {ERROR_NO_DATA, ERROR_BROKEN_PIPE, ERROR_PIPE_NOT_CONNECTED};
}  // namespace

namespace pipe_io {

bool IsPipeGone(DWORD error) {
    for (DWORD gone : kGoneErrors)
        if (error == gone) return true;
    return false;
}

void WriteOnce(HANDLE pipe, const char* bytes, int32_t count) {
    if (!pipe || !bytes || count <= 0) return;
    DWORD written = 0;
    WriteFile(pipe, bytes, static_cast<DWORD>(count), &written, nullptr);
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
    const BOOL ok = pipe_ ? WriteFile(pipe_, bytes, count, &n, nullptr) : FALSE;
    const DWORD error = ok ? 0 : (pipe_ ? GetLastError() : ERROR_INVALID_HANDLE);
    if (written) *written = n;
    if (ok) return WriteStatus::Ok;
    return pipe_io::IsPipeGone(error) ? WriteStatus::PipeGone : WriteStatus::Failed;
}

bool PipeCommandWriter::Flush() { return pipe_ && FlushFileBuffers(pipe_) != FALSE; }

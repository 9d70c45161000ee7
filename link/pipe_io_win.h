// The pipes behind the link's byte interfaces: the panel's pipe ends, a synchronous read
// source, the command writer that tells a gone pipe from a failed write, and the raw single write.
#pragma once
#include <windows.h>

#include "link/byte_io.h"
#include "link/connect_logic.h"

namespace pipe_io {
// Errors meaning the other end has closed: reads and writes cannot succeed again.
bool IsPipeGone(DWORD error);
// A peer that stops reading fills the pipe and would hold a synchronous write (and with it the
// window thread) for ever: a write that has not completed after this long is cancelled. After
// one such write the peer is taken to be stuck, and the next writes wait only StalledWriteMs
// until one goes through again.
constexpr DWORD WriteStallMs = 500;
constexpr DWORD StalledWriteMs = 50;
// One WriteFile, cancelled after stallMs (it then fails with ERROR_OPERATION_ABORTED).
BOOL BoundedWrite(HANDLE pipe, const char* bytes, DWORD count, DWORD* written, DWORD stallMs);
// One bounded write of exactly these bytes, no flush; true when it stalled.
bool WriteOnce(HANDLE pipe, const char* bytes, int32_t count, DWORD stallMs = WriteStallMs);
// The panel's end of one of the control's pipes, for synchronous reads or writes; null when it
// cannot be opened. Every connection road opens and closes its pipes through these two.
connect_logic::PipeHandle OpenPipe(const char* name, connect_logic::PipeAccess access);
void ClosePipe(connect_logic::PipeHandle pipe);
}  // namespace pipe_io

class PipeReadSource final : public ReadSource {
public:
    explicit PipeReadSource(HANDLE pipe) : pipe_(pipe) {}
    // One synchronous ReadFile of up to capacity bytes.
    bool Read(uint8_t* buf, uint32_t capacity, uint32_t* got) override;
    DWORD LastError() const { return lastError_; }

private:
    HANDLE pipe_;
    DWORD lastError_ = 0;
};

// The gone-pipe decision rests on the write's own error, never on the flush: under Wine
// FlushFileBuffers succeeds on a broken pipe, on Windows it fails.
class PipeCommandWriter final : public PipeWriter {
public:
    explicit PipeCommandWriter(HANDLE pipe, DWORD stallMs = pipe_io::WriteStallMs) : pipe_(pipe), stallMs_(stallMs) {}
    WriteStatus Write(const char* bytes, uint32_t count, uint32_t* written) override;
    bool Flush() override;
    bool Stalled() const { return stalled_; }

private:
    HANDLE pipe_;
    DWORD stallMs_;
    bool stalled_ = false;
};

// The pipes behind the link's byte interfaces: a synchronous read source, the command writer
// that tells a gone pipe from a failed write, and the raw single write.
#pragma once
#include <windows.h>

#include "link/byte_io.h"

namespace pipe_io {
// Errors meaning the other end has closed: reads and writes cannot succeed again.
bool IsPipeGone(DWORD error);
// One WriteFile of exactly these bytes, no flush, outcome ignored.
void WriteOnce(HANDLE pipe, const char* bytes, int32_t count);
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
    explicit PipeCommandWriter(HANDLE pipe) : pipe_(pipe) {}
    WriteStatus Write(const char* bytes, uint32_t count, uint32_t* written) override;
    bool Flush() override;

private:
    HANDLE pipe_;
};

// The pipes behind the link's byte interfaces: the panel's pipe ends, the errors of a gone pipe
// and a synchronous read source.
#pragma once
#include <windows.h>

#include "link/byte_io.h"
#include "link/connect_logic.h"

namespace pipe_io {
// Errors meaning the other end or the network path to it has gone: reads and writes cannot
// succeed again.
bool IsPipeGone(DWORD error);
// The panel's end of one of the control's pipes, for synchronous reads or writes; null when it
// cannot be opened. Every connection road opens and closes its pipes through these two.
connect_logic::PipeHandle OpenPipe(const char* name, connect_logic::PipeAccess access);
void ClosePipe(connect_logic::PipeHandle pipe);
}  // namespace pipe_io

// A read source that says why its last read failed, in the platform's error codes.
class PipeSource : public ReadSource {
public:
    virtual DWORD LastError() const = 0;

protected:
    ~PipeSource() = default;
};

class PipeReadSource final : public PipeSource {
public:
    explicit PipeReadSource(HANDLE pipe) : pipe_(pipe) {}
    // One synchronous ReadFile of up to capacity bytes.
    bool Read(uint8_t* buf, uint32_t capacity, uint32_t* got) override;
    DWORD LastError() const override { return lastError_; }

private:
    HANDLE pipe_;
    DWORD lastError_ = 0;
};

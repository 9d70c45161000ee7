// One read of up to a block from the read source, decoded into the sink, and when a reader
// that keeps failing gives the control up.
#pragma once
#include <cstdint>

#include "link/byte_io.h"
#include "link/stream_decoder.h"

namespace read_result {
constexpr int32_t Failed = 0;
constexpr int32_t Done = 1;
// The control's exit was delivered: the caller must stop and touch neither the decoder nor
// anything the sink's owner may have destroyed.
constexpr int32_t ControlExited = 2;
}  // namespace read_result

// A failed read delivers nothing and keeps the pending lead byte. Without a sink, or after a
// read of 0 bytes, nothing is looked at.
int32_t ReadAndDecode(ReadSource& source, StreamDecoder& decoder, EventSink* sink, ByteWriter& answer);

// Failed reads: an error that means the pipe (or its network path) is gone gives the control up
// at once; any other gives it up once it has lasted GiveUpMs, and a read that succeeds in
// between starts the count again.
class ReadFailureWatch {
public:
    static constexpr uint64_t GiveUpMs = 1000;
    // True when the control counts as gone.
    bool Failed(bool pipeGone, uint64_t nowMs);
    void Succeeded() { failing_ = false; }

private:
    bool failing_ = false;
    uint64_t sinceMs_ = 0;
};

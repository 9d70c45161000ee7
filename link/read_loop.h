// One read of up to a block from the read source, decoded into the sink.
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

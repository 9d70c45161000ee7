// Splits inbound blocks into text runs, cursor addresses and control codes, delivered in byte order.
#pragma once
#include <cstddef>
#include <cstdint>

#include "protocol/display_event.h"
#include "link/byte_io.h"

enum class DecodeResult {
    Done,
    // ControlExited was delivered: the decoder returned without touching itself afterwards,
    // and neither it nor the link may be used again.
    ControlExited,
};

class StreamDecoder {
public:
    static constexpr uint32_t BlockSize = 2048;
    // The run buffer is BlockSize bytes: a run leaves room for its NUL.
    static constexpr int32_t MaxRun = BlockSize - 1;

    // Decodes one block (the reader's blocks are at most BlockSize bytes). Text is lent to the
    // sink for the call only; the identification request is answered through `answer`.
    DecodeResult Decode(const uint8_t* bytes, uint32_t count, EventSink& sink, ByteWriter& answer);
    // Any number of bytes, in the blocks the reader's reads would bring them; nothing after the
    // exit notice, which the reader reads no further than (the tools and the tests' screens).
    DecodeResult DecodeAsRead(const char* bytes, size_t count, EventSink& sink, ByteWriter& answer);

    // The first half of a cursor address waiting for its second byte; 0 = none.
    uint8_t PendingLead() const { return pendingLead_; }

private:
    uint8_t pendingLead_ = 0;
};

// The read step of the reader thread, with its read buffer on the stack, and its failure watch.
#include "link/read_loop.h"

int32_t ReadAndDecode(ReadSource& source, StreamDecoder& decoder, EventSink* sink, ByteWriter& answer) {
    uint8_t block[StreamDecoder::BlockSize];
    uint32_t got = 0;
    if (!source.Read(block, sizeof block, &got)) return read_result::Failed;
    if (!sink || got == 0) return read_result::Done;
    if (got > sizeof block) got = sizeof block;
    return decoder.Decode(block, got, *sink, answer) == DecodeResult::ControlExited ? read_result::ControlExited
                                                                                      : read_result::Done;
}

bool ReadFailureWatch::Failed(bool pipeGone, uint64_t nowMs) {
    if (pipeGone) return true;
    if (!failing_) {
        failing_ = true;
        sinceMs_ = nowMs;
    }
    return nowMs - sinceMs_ >= GiveUpMs;
}

// The block decoder: text runs, cursor addresses and control codes as the inbound table says.
#include "link/stream_decoder.h"

#include "link/text_copy.h"
#include "protocol/inbound_table.h"

namespace {
namespace ev = display_event;

// The table's codes by byte, so that a control code costs one lookup.
struct CodeTable {
    const inbound::ControlCode* byByte[inbound::TextFirst] = {};
};
constexpr CodeTable MakeCodeTable() {
    CodeTable t;
    for (const inbound::ControlCode& c : inbound::kControlCodes) t.byByte[c.byte] = &c;
    return t;
}
constexpr CodeTable kCodes = MakeCodeTable();

void DeliverRun(EventSink& sink, char* run, int32_t length) {
    run[length] = '\0';
    sink.ApplyEvent(ev::Text, reinterpret_cast<intptr_t>(run), length);
}

void DeliverAddress(EventSink& sink, uint8_t lead, uint8_t trail) {
    sink.ApplyEvent(ev::CursorAddress, inbound::AddressRow(lead), inbound::AddressColumn(lead, trail));
}
}  // namespace

DecodeResult StreamDecoder::Decode(const uint8_t* bytes, uint32_t count, EventSink& sink, ByteWriter& answer) {
    char run[BlockSize];
    int32_t runLength = 0;
    uint8_t pending = pendingLead_;
    uint32_t i = 0;
    while (i < count) {
        const uint8_t b = bytes[i];
        if (inbound::IsText(b)) {
            // A lead byte followed by text is dropped.
            pending = 0;
            const uint32_t room = static_cast<uint32_t>(MaxRun - runLength);
            const uint32_t left = count - i;
            const uint32_t n = text_copy::CopyText(bytes + i, left < room ? left : room, run + runLength);
            runLength += static_cast<int32_t>(n);
            i += n;
            if (runLength == MaxRun) {
                DeliverRun(sink, run, runLength);
                runLength = 0;
            }
            continue;
        }
        ++i;
        if (runLength > 0) {
            DeliverRun(sink, run, runLength);
            runLength = 0;
        }
        if (b >= inbound::AddressFirst) {
            if (pending) {
                DeliverAddress(sink, pending, b);
                pending = 0;
            } else {
                pending = b;
            }
            continue;
        }
        pending = 0;
        const inbound::ControlCode* code = kCodes.byByte[b];
        if (!code) continue;
        if (code->reaction == inbound::Reaction::Identify) {
            answer.WriteBytes(inbound::IdentificationAnswer, sizeof inbound::IdentificationAnswer);
        } else if (code->type == ev::ControlExited) {
            pendingLead_ = 0;
            // This object may be gone once the sink returns.
            sink.ApplyEvent(code->type, code->kind, code->argument);
            return DecodeResult::ControlExited;
        } else {
            sink.ApplyEvent(code->type, code->kind, code->argument);
        }
    }
    if (runLength > 0) DeliverRun(sink, run, runLength);
    pendingLead_ = pending;
    return DecodeResult::Done;
}

DecodeResult StreamDecoder::DecodeAsRead(const char* bytes, size_t count, EventSink& sink, ByteWriter& answer) {
    for (size_t at = 0; at < count; at += BlockSize) {
        const uint32_t n = static_cast<uint32_t>(count - at < BlockSize ? count - at : BlockSize);
        if (Decode(reinterpret_cast<const uint8_t*>(bytes) + at, n, sink, answer) == DecodeResult::ControlExited)
            return DecodeResult::ControlExited;
    }
    return DecodeResult::Done;
}

// The inbound byte classes, the control-code table and the block decoder.
#include "link/stream_decoder.h"

#include "link/text_copy.h"

namespace {
namespace ev = display_event;

enum class Reaction : uint8_t { Nothing, Event, Identify };

struct ControlCode {
    Reaction reaction;
    uint32_t type;
    intptr_t kind;
    int32_t argument;
};

constexpr ControlCode kNothing = {Reaction::Nothing, 0, 0, 0};
constexpr ControlCode Deliver(uint32_t type, intptr_t kind, int32_t argument = 0) {
    return {Reaction::Event, type, kind, argument};
}

constexpr ControlCode kControlCodes[32] = {
    kNothing,                                // 0
    Deliver(ev::Clear, ev::ClearScreen),     // 1 SOH
    kNothing, kNothing, kNothing, kNothing, kNothing,
    Deliver(ev::Signal, ev::SignalBell),     // 7 BEL
    Deliver(ev::Clear, ev::ClearScreen),     // 8 BS: a clear, not a backspace
    kNothing,                                // 9
    Deliver(ev::CursorMove, ev::NextLine),   // 10 LF
    Deliver(ev::Clear, ev::ClearLine, 0),    // 11 VT
    Deliver(ev::Clear, ev::ClearLine, 1),    // 12 FF
    Deliver(ev::CursorMove, ev::LineStart),  // 13 CR
    Deliver(ev::Signal, ev::SignalShiftOut), // 14 SO
    Deliver(ev::Signal, ev::SignalShiftIn),  // 15 SI
    kNothing, kNothing, kNothing, kNothing,
    Deliver(ev::Clear, ev::ClearScreen),     // 20 DC4
    Deliver(ev::Clear, ev::ClearCursorLine), // 21 NAK
    Deliver(ev::ControlExited, 0),           // 22 SYN
    kNothing, kNothing, kNothing,
    {Reaction::Identify, 0, 0, 0},           // 26 SUB
    kNothing, kNothing, kNothing, kNothing, kNothing,
};

constexpr char kIdentification[] = {'V', 'F', 'D'};

// Cursor address forms, chosen by bit 6 of the lead byte.
struct AddressForm {
    uint8_t leadXor;
    int32_t rowOffset;
    uint8_t trailXor;
};
constexpr AddressForm kAddressForms[2] = {{0x80, 0, 0x80}, {0xC0, 50, 0xC0}};

void DeliverRun(EventSink& sink, char* run, int32_t length) {
    run[length] = '\0';
    sink.ApplyEvent(ev::Text, reinterpret_cast<intptr_t>(run), length);
}

void DeliverAddress(EventSink& sink, uint8_t lead, uint8_t trail) {
    const AddressForm& f = kAddressForms[(lead >> 6) & 1];
    sink.ApplyEvent(ev::CursorAddress, (lead ^ f.leadXor) + f.rowOffset, trail ^ f.trailXor);
}
}  // namespace

DecodeResult StreamDecoder::Decode(const uint8_t* bytes, uint32_t count, EventSink& sink, ByteWriter& answer) {
    char run[BlockSize];
    int32_t runLength = 0;
    uint8_t pending = pendingLead_;
    uint32_t i = 0;
    while (i < count) {
        const uint8_t b = bytes[i];
        if (text_copy::IsText(b)) {
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
        if (b >= 0x80) {
            if (pending) {
                DeliverAddress(sink, pending, b);
                pending = 0;
            } else {
                pending = b;
            }
            continue;
        }
        pending = 0;
        const ControlCode& code = kControlCodes[b];
        if (code.reaction == Reaction::Identify) {
            answer.WriteBytes(kIdentification, sizeof kIdentification);
        } else if (code.reaction == Reaction::Event) {
            if (code.type == ev::ControlExited) {
                pendingLead_ = 0;
                // This object may be gone once the sink returns.
                sink.ApplyEvent(code.type, code.kind, code.argument);
                return DecodeResult::ControlExited;
            }
            sink.ApplyEvent(code.type, code.kind, code.argument);
        }
    }
    if (runLength > 0) DeliverRun(sink, run, runLength);
    pendingLead_ = pending;
    return DecodeResult::Done;
}

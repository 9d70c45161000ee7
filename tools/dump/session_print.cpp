// Session lines and screens: one decoder for the whole inbound side, one command reader for
// the outbound side, so that addresses and commands split across blocks come out whole; a
// display beside the decoder knows where each text lands.
#include "tools/dump/session_print.h"

#include <algorithm>

#include "display/windowless_owner.h"
#include "link/stream_decoder.h"
#include "protocol/inbound_table.h"
#include "tools/common/commands.h"
#include "tools/common/event_line.h"
#include "tools/dump/json_print.h"

namespace {
// The identification request has no display event; the decoder shows it by answering.
class LinePrinter final : public EventSink, public ByteWriter {
public:
    LinePrinter(std::FILE* out, LineStyle style) : out_(out), style_(style) { cursor_.SetOwner(&window_); }
    void At(uint64_t sinceStartUs) {
        stamp_.timed = true;
        stamp_.sinceStartUs = sinceStartUs;
    }
    int32_t ApplyEvent(uint32_t type, intptr_t kind, int32_t argument) override {
        stamp_.direction = "in";
        if (style_ == LineStyle::Json) {
            JsonEvent(out_, stamp_, type, kind, argument, cursor_.CursorRow(), cursor_.CursorColumn());
        } else {
            Prefix();
            PrintEvent(out_, type, kind, argument);
        }
        cursor_.ApplyEvent(type, kind, argument);
        return 1;
    }
    int WriteBytes(const char*, int32_t) override {
        stamp_.direction = "in";
        if (style_ == LineStyle::Json) {
            JsonIdentificationRequest(out_, stamp_);
        } else {
            Prefix();
            std::fprintf(out_, "%s\n", inbound::IdentificationRequest);
        }
        return 1;
    }
    void Command(const ::Command& command) {
        stamp_.direction = "out";
        if (style_ == LineStyle::Json) {
            JsonCommand(out_, stamp_, command);
        } else {
            Prefix();
            std::fprintf(out_, "%s\n", CommandName(command).c_str());
        }
    }

private:
    void Prefix() const {
        if (!stamp_.timed) return;
        std::fprintf(out_, "%4llu.%06llu %-3s ", static_cast<unsigned long long>(stamp_.sinceStartUs / 1000000),
                     static_cast<unsigned long long>(stamp_.sinceStartUs % 1000000), stamp_.direction);
    }

    std::FILE* out_;
    LineStyle style_;
    JsonStamp stamp_;
    WindowlessOwner window_;
    TextDisplay cursor_;
};

class NoAnswer final : public ByteWriter {
public:
    int WriteBytes(const char*, int32_t) override { return 1; }
};

// False once the exit notice was delivered: the panel reads nothing after it.
bool Decode(StreamDecoder& decoder, const std::string& bytes, EventSink& sink, ByteWriter& answer) {
    return decoder.DecodeAsRead(bytes.data(), bytes.size(), sink, answer) != DecodeResult::ControlExited;
}
}  // namespace

void SortByTime(std::vector<capture::Record>& records) {
    std::stable_sort(records.begin(), records.end(),
                     [](const capture::Record& a, const capture::Record& b) { return a.timeUs < b.timeUs; });
}

void PrintStream(std::FILE* out, const std::string& bytes, LineStyle style) {
    LinePrinter printer(out, style);
    StreamDecoder decoder;
    Decode(decoder, bytes, printer, printer);
}

void PrintSession(std::FILE* out, const std::vector<capture::Record>& records, LineStyle style) {
    if (records.empty()) return;
    const uint64_t start = records.front().timeUs;
    LinePrinter printer(out, style);
    StreamDecoder decoder;
    CommandReader reader;
    bool reading = true;
    for (const capture::Record& r : records) {
        printer.At(r.timeUs - start);
        if (r.direction == capture::Direction::ToPanel) {
            if (reading) reading = Decode(decoder, r.bytes, printer, printer);
            continue;
        }
        std::vector<Command> commands;
        reader.Feed(r.bytes, commands);
        for (const Command& c : commands) printer.Command(c);
    }
}

void ApplyInbound(const std::vector<capture::Record>& records, uint64_t untilUs, TextDisplay& display) {
    if (records.empty()) return;
    const uint64_t start = records.front().timeUs;
    StreamDecoder decoder;
    NoAnswer answer;
    for (const capture::Record& r : records) {
        if (r.timeUs - start > untilUs) break;
        if (r.direction == capture::Direction::ToPanel && !Decode(decoder, r.bytes, display, answer)) break;
    }
}

size_t BytesAfterExitNotice(const std::string& stream) {
    // The code is never part of a text run or an address, so its first byte is the notice.
    const size_t at = stream.find(static_cast<char>(inbound::ExitNotice));
    return at == std::string::npos ? 0 : stream.size() - at - 1;
}

std::string InboundBytes(const std::vector<capture::Record>& records) {
    std::string inbound;
    for (const capture::Record& r : records)
        if (r.direction == capture::Direction::ToPanel) inbound += r.bytes;
    return inbound;
}

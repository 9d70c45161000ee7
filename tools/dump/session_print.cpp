// Session lines and screens: one decoder for the whole inbound side, one command reader for
// the outbound side, so that addresses and commands split across blocks come out whole.
#include "tools/dump/session_print.h"

#include <algorithm>
#include <string>

#include "link/stream_decoder.h"
#include "tools/common/commands.h"
#include "tools/dump/event_print.h"

namespace {
// The identification request has no display event; the decoder shows it by answering.
class LinePrinter final : public EventSink, public ByteWriter {
public:
    explicit LinePrinter(std::FILE* out) : out_(out) {}
    void At(uint64_t sinceStartUs) { since_ = sinceStartUs; }
    void Prefix(const char* direction) const {
        std::fprintf(out_, "%4llu.%06llu %-3s ", static_cast<unsigned long long>(since_ / 1000000),
                     static_cast<unsigned long long>(since_ % 1000000), direction);
    }
    int32_t ApplyEvent(uint32_t type, intptr_t kind, int32_t argument) override {
        Prefix("in");
        PrintEvent(out_, type, kind, argument);
        return 1;
    }
    int WriteBytes(const char*, int32_t) override {
        Prefix("in");
        std::fputs("IdentificationRequest\n", out_);
        return 1;
    }

private:
    std::FILE* out_;
    uint64_t since_ = 0;
};

class NoAnswer final : public ByteWriter {
public:
    int WriteBytes(const char*, int32_t) override { return 1; }
};

// A block longer than the reader's is decoded as the reads the panel would have made. False
// once the exit notice was delivered: the panel reads nothing after it.
bool Decode(StreamDecoder& decoder, const std::string& bytes, EventSink& sink, ByteWriter& answer) {
    for (size_t at = 0; at < bytes.size(); at += StreamDecoder::BlockSize) {
        const size_t n = std::min<size_t>(StreamDecoder::BlockSize, bytes.size() - at);
        if (decoder.Decode(reinterpret_cast<const uint8_t*>(bytes.data() + at), static_cast<uint32_t>(n), sink,
                           answer) == DecodeResult::ControlExited)
            return false;
    }
    return true;
}
}  // namespace

void SortByTime(std::vector<capture::Record>& records) {
    std::stable_sort(records.begin(), records.end(),
                     [](const capture::Record& a, const capture::Record& b) { return a.timeUs < b.timeUs; });
}

void PrintSession(std::FILE* out, const std::vector<capture::Record>& records) {
    if (records.empty()) return;
    const uint64_t start = records.front().timeUs;
    LinePrinter printer(out);
    StreamDecoder decoder;
    CommandReader reader;
    bool reading = true;
    for (const capture::Record& r : records) {
        printer.At(r.timeUs - start);
        if (r.direction == capture::Direction::ToPanel) {
            if (reading) {
                reading = Decode(decoder, r.bytes, printer, printer);
            } else {
                printer.Prefix("in");
                std::fprintf(out, "%zu bytes after the exit notice\n", r.bytes.size());
            }
            continue;
        }
        std::vector<Command> commands;
        reader.Feed(r.bytes, commands);
        for (const Command& c : commands) {
            printer.Prefix("out");
            std::fprintf(out, "%s\n", CommandName(c).c_str());
        }
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

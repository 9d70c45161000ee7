// libFuzzer target: arbitrary bytes cut into arbitrary blocks go through the decoder into the
// display; after every block the events, the answers and the screen must match the reference
// model and the display must hold only printable cells.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "display/text_display.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/reference_model.h"
#include "link/stream_decoder.h"
#include "protocol/inbound_table.h"
#include "tools/common/event_line.h"

namespace {
class Owner final : public DisplayOwner {
public:
    void LinesChanged(uint32_t lines) override { Check(lines != 0 && lines < (1u << 20), "a change of no line or outside 0..19"); }
    bool HasDisplayFont() const override { return true; }
    void OnControlExited() override {}
};

// Records what the decoder delivers, checks each text event, and passes events on.
class Recorder final : public EventSink, public ByteWriter {
public:
    explicit Recorder(TextDisplay& display) : display_(display) {}
    int32_t ApplyEvent(uint32_t type, intptr_t kind, int32_t argument) override {
        if (type == display_event::Text) {
            const char* chars = reinterpret_cast<const char*>(kind);
            Check(argument >= 1 && argument <= StreamDecoder::MaxRun, "text count outside 1..2047");
            Check(chars[argument] == '\0', "text without its NUL");
            for (int32_t i = 0; i < argument; ++i)
                Check(static_cast<unsigned char>(chars[i]) >= 0x20 && static_cast<unsigned char>(chars[i]) < 0x80,
                      "non-text byte in a run");
        }
        log.push_back(EventLine(type, kind, argument));
        Check(display_.ApplyEvent(type, kind, argument) == 1, "ApplyEvent did not return 1");
        return 1;
    }
    int WriteBytes(const char* bytes, int32_t count) override {
        const std::string written(bytes, static_cast<size_t>(count));
        const std::string answer(inbound::IdentificationAnswer, sizeof inbound::IdentificationAnswer);
        log.push_back(written == answer ? std::string(inbound::IdentificationRequest) : "Write " + written);
        return 1;
    }
    EventLog log;

private:
    TextDisplay& display_;
};

void CheckDisplay(const TextDisplay& display) {
    char lines[20][41];
    display.Snapshot(lines);
    Check(display.CursorRow() >= 0 && display.CursorRow() < 20, "cursor row outside 0..19");
    for (const auto& line : lines) {
        Check(line[40] == '\0', "cell 40 is not NUL");
        for (int c = 0; c < 40; ++c) Check(line[c] >= 0x20 && line[c] <= 0x7E, "cell outside 0x20..0x7E");
    }
}

std::string ScreenOf(const TextDisplay& display) {
    char lines[20][41];
    display.Snapshot(lines);
    std::string s;
    for (const auto& line : lines) s.append(line, 40);
    return s + "@" + std::to_string(display.CursorRow()) + "," + std::to_string(display.CursorColumn());
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    Owner owner;
    TextDisplay display;
    display.SetOwner(&owner);
    StreamDecoder decoder;
    Recorder recorder(display);
    ReferenceDecoder referenceDecoder;
    ReferenceDisplay referenceDisplay;
    EventLog expected;
    while (input.remaining_bytes() > 0) {
        const size_t length = input.ConsumeIntegralInRange<size_t>(0, StreamDecoder::BlockSize);
        const std::vector<uint8_t> block = input.ConsumeBytes<uint8_t>(length);
        const size_t before = expected.size();
        const bool referenceExited = referenceDecoder.Decode(block.data(), block.size(), expected);
        const DecodeResult result =
            decoder.Decode(block.data(), static_cast<uint32_t>(block.size()), recorder, recorder);
        Check(recorder.log == expected, "events differ from the reference (order or content)");
        Check((result == DecodeResult::ControlExited) == referenceExited, "exit result differs");
        for (size_t i = before; i < expected.size(); ++i) referenceDisplay.Apply(expected[i]);
        CheckDisplay(display);
        Check(ScreenOf(display) == referenceDisplay.Screen(), "screen differs from the reference");
        if (referenceExited) break;
    }
    return 0;
}

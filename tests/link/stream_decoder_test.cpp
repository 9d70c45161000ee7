// Decoding of inbound blocks: byte classes, control codes, cursor addresses across reads,
// run limits, the identification answer and the exit.
#include "link/stream_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/text_display.h"
#include "display/windowless_owner.h"
#include "tests/link/recording_sink.h"

namespace {
using Log = std::vector<std::string>;

struct Decoded {
    Log log;
    uint8_t pending;
};

Decoded DecodeBlocks(const std::vector<std::string>& blocks) {
    StreamDecoder decoder;
    RecordingSink sink;
    for (const std::string& b : blocks) {
        const std::vector<uint8_t> bytes = Bytes(b);
        EXPECT_EQ(decoder.Decode(bytes.data(), static_cast<uint32_t>(bytes.size()), sink, sink), DecodeResult::Done);
    }
    EXPECT_FALSE(sink.missingNul);
    return {sink.log, decoder.PendingLead()};
}

TEST(StreamDecoder, EventsFollowTheByteOrder) {
    struct Case {
        const char* name;
        std::vector<std::string> blocks;
        Log want;
        uint8_t pending;
    };
    const Case cases[] = {
        {"text around a carriage return", {"AB\rC"}, {TextLine("AB"), "CursorMove LineStart", TextLine("C")}, 0},
        {"answer between runs", {"AB\x1a" "CD"}, {TextLine("AB"), "IdentificationRequest", TextLine("CD")}, 0},
        {"address split over two reads", {"\x85", "\x8a"}, {"CursorAddress 5 10"}, 0},
        {"three address bytes", {"\x85\x8a\x93"}, {"CursorAddress 5 10"}, 0x93},
        {"lead byte then text", {"\x85" "A"}, {TextLine("A")}, 0},
        {"lead byte then text in the next read", {"\x85", "A"}, {TextLine("A")}, 0},
        {"lead byte then a control", {"\x85\r\x8a"}, {"CursorMove LineStart"}, 0x8a},
        {"text ends at an address", {"AB\x93\xa7" "C"}, {TextLine("AB"), "CursorAddress 19 39", TextLine("C")}, 0},
        {"text split over reads", {"ABC", "DE"}, {TextLine("ABC"), TextLine("DE")}, 0},
        {"delete travels in text", {"A\x7f" "B"}, {TextLine("A\x7f" "B")}, 0},
        {"empty block", {""}, {}, 0},
        {"trailing lead byte", {"X\xc1"}, {TextLine("X")}, 0xc1},
        {"answer alone", {"\x1a"}, {"IdentificationRequest"}, 0},
        {"clears and moves", {"\x01\x08\x14\x0b\x0c\x15\n\r"},
         {"Clear ClearScreen", "Clear ClearScreen", "Clear ClearScreen", "Clear ClearLine 0", "Clear ClearLine 1", "Clear ClearCursorLine", "CursorMove NextLine", "CursorMove LineStart"}, 0},
        {"signals", {"\x07\x0e\x0f"}, {"Signal SignalBell", "Signal SignalShiftOut", "Signal SignalShiftIn"}, 0},
    };
    for (const Case& c : cases) {
        const Decoded d = DecodeBlocks(c.blocks);
        EXPECT_EQ(d.log, c.want) << c.name;
        EXPECT_EQ(d.pending, c.pending) << c.name;
    }
}

TEST(StreamDecoder, CursorAddressForms) {
    struct Case {
        uint8_t lead, trail;
        int row, column;
    };
    const Case cases[] = {
        {0x85, 0x8A, 5, 10},  {0x93, 0xA7, 19, 39}, {0x80, 0xA8, 0, 40},   {0xC1, 0xC5, 51, 5},
        {0xC1, 0x85, 51, 69}, {0x80, 0x80, 0, 0},   {0xBF, 0xFF, 63, 127}, {0xC0, 0xC0, 50, 0},
        {0xFF, 0xFF, 113, 63}, {0x80, 0xFF, 0, 127}, {0xC0, 0xBF, 50, 127},
    };
    for (const Case& c : cases) {
        const std::string block = {static_cast<char>(c.lead), static_cast<char>(c.trail)};
        const Decoded d = DecodeBlocks({block});
        EXPECT_EQ(d.log, Log{"CursorAddress " + std::to_string(c.row) + " " + std::to_string(c.column)})
            << std::hex << int(c.lead) << " " << int(c.trail);
    }
}

TEST(StreamDecoder, EveryControlCodeEndsTheRunAndDropsTheLeadByte) {
    // What each code delivers besides ending the run, as its row says (what each row delivers is
    // the protocol scripts' to check); the exit is tested apart.
    for (int code = 0; code < inbound::TextFirst; ++code) {
        if (code == inbound::ExitNotice) continue;
        std::string want;
        for (const inbound::ControlCode& c : inbound::kControlCodes)
            if (c.byte == code && c.reaction != inbound::Reaction::Nothing)
                want = c.reaction == inbound::Reaction::Identify ? inbound::IdentificationRequest
                                                                 : EventLine(c.type, c.kind, c.argument);
        const char b = static_cast<char>(code);
        Log expected = {TextLine("A")};
        if (!want.empty()) expected.push_back(want);
        expected.push_back(TextLine("B"));
        if (!want.empty()) expected.push_back(want);
        // The lead byte before the code must not pair with the address byte after it.
        const Decoded d = DecodeBlocks({std::string("A") + b + "B\x85" + b + "\x8a"});
        EXPECT_EQ(d.log, expected) << "code " << code;
        EXPECT_EQ(d.pending, 0x8a) << "code " << code;
    }
}

TEST(StreamDecoder, FullTextBlockIsCutAtTheRunLimit) {
    const std::string full(StreamDecoder::BlockSize, 'x');
    const Decoded d = DecodeBlocks({full});
    EXPECT_EQ(d.log, (Log{TextLine(std::string(2047, 'x')), TextLine("x")}));

    const Decoded exact = DecodeBlocks({std::string(2047, 'y') + "\r"});
    EXPECT_EQ(exact.log, (Log{TextLine(std::string(2047, 'y')), "CursorMove LineStart"}));
}

TEST(StreamDecoder, LongerBlocksStillKeepRunsWithinTheLimit) {
    StreamDecoder decoder;
    RecordingSink sink;
    const std::vector<uint8_t> bytes(5000, 'z');
    decoder.Decode(bytes.data(), static_cast<uint32_t>(bytes.size()), sink, sink);
    ASSERT_EQ(sink.log.size(), 3u);
    EXPECT_EQ(sink.longestRun, StreamDecoder::MaxRun);
    EXPECT_EQ(sink.log[2], TextLine(std::string(5000 - 2 * 2047, 'z')));
    EXPECT_FALSE(sink.missingNul);
}

TEST(StreamDecoder, RunEndsExactlyAtTheFirstNonTextByteForEveryValue) {
    // The fast path takes eight bytes at a time: try every byte value at every offset.
    for (int value = 0; value < 256; ++value) {
        if (value == 0x16) continue;
        for (int at = 0; at < 17; ++at) {
            std::string block(24, 'a');
            block[at] = static_cast<char>(value);
            StreamDecoder decoder;
            RecordingSink sink;
            const std::vector<uint8_t> bytes = Bytes(block);
            decoder.Decode(bytes.data(), static_cast<uint32_t>(bytes.size()), sink, sink);
            ASSERT_FALSE(sink.log.empty());
            if (value >= 0x20 && value < 0x80) {
                ASSERT_EQ(sink.log, Log{TextLine(block)}) << value << " at " << at;
                continue;
            }
            Log texts;
            for (const std::string& entry : sink.log)
                if (entry.rfind("Text ", 0) == 0) texts.push_back(entry);
            Log want;
            if (at > 0) want.push_back(TextLine(std::string(at, 'a')));
            want.push_back(TextLine(std::string(23 - at, 'a')));
            EXPECT_EQ(texts, want) << value << " at " << at;
        }
    }
}

TEST(StreamDecoder, ExitStopsTheBlockAndLeavesTheDecoderUntouched) {
    auto* decoder = new StreamDecoder();
    RecordingSink sink;
    sink.onEvent = [&](uint32_t type) {
        // In the program the link holding the decoder may be gone when the exit returns.
        if (type == display_event::ControlExited) delete decoder;
    };
    const std::vector<uint8_t> bytes = Bytes("AB\x85\x16" "CD\x1a");
    EXPECT_EQ(decoder->Decode(bytes.data(), static_cast<uint32_t>(bytes.size()), sink, sink),
              DecodeResult::ControlExited);
    EXPECT_EQ(sink.log, (Log{TextLine("AB"), "ControlExited"}));
}

TEST(StreamDecoder, AnySplitOfAStreamGivesTheSameScreen) {
    WindowlessOwner owner;
    const std::string stream =
        "\x01" "\x80\x80" "TITLE\r\n" "\x85\x8a" "row five" "\x93\xa7" "Z" "\x81\x80" "AB\x7f" "CD" "\x0c" "FF"
        "\x8a" "lost" "\x82\x90" "centre" "\x15" "again" "\x81\xa6" "1234567890";
    auto screen = [&](size_t split) {
        TextDisplay display;
        display.SetOwner(&owner);
        StreamDecoder decoder;
        RecordingSink writer;
        const std::vector<uint8_t> bytes = Bytes(stream);
        decoder.Decode(bytes.data(), static_cast<uint32_t>(split), display, writer);
        decoder.Decode(bytes.data() + split, static_cast<uint32_t>(bytes.size() - split), display, writer);
        char lines[20][41];
        display.Snapshot(lines);
        std::string all;
        for (const auto& l : lines) all += l;
        return all + "@" + std::to_string(display.CursorRow()) + "," + std::to_string(display.CursorColumn());
    };
    const std::string whole = screen(stream.size());
    EXPECT_NE(whole.find("TITLE"), std::string::npos);
    EXPECT_NE(whole.find("row five"), std::string::npos);
    for (size_t split = 0; split < stream.size(); ++split) EXPECT_EQ(screen(split), whole) << "split at " << split;
}
}  // namespace

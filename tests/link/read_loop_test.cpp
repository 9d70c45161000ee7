// The read step: failed reads, empty reads, a missing sink, the exit result and the block size.
#include "link/read_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>

#include "tests/link/recording_sink.h"

namespace {
struct ScriptedRead {
    bool ok;
    std::string bytes;
};

class ScriptedSource final : public ReadSource {
public:
    explicit ScriptedSource(std::deque<ScriptedRead> reads) : reads_(std::move(reads)) {}
    bool Read(uint8_t* buf, uint32_t capacity, uint32_t* got) override {
        capacities.push_back(capacity);
        const ScriptedRead r = reads_.front();
        reads_.pop_front();
        *got = static_cast<uint32_t>(std::min<size_t>(r.bytes.size(), capacity));
        std::copy_n(r.bytes.begin(), *got, buf);
        return r.ok;
    }
    std::vector<uint32_t> capacities;

private:
    std::deque<ScriptedRead> reads_;
};

TEST(ReadAndDecode, ReadsWholeBlocksAndDeliversInOrder) {
    ScriptedSource source({{true, "HI\x1a"}});
    StreamDecoder decoder;
    RecordingSink sink;
    EXPECT_EQ(ReadAndDecode(source, decoder, &sink, sink), read_result::Done);
    EXPECT_EQ(source.capacities, std::vector<uint32_t>{2048});
    EXPECT_EQ(sink.log, (std::vector<std::string>{"T:HI", "W:VFD"}));
}

TEST(ReadAndDecode, FailedReadDeliversNothingAndKeepsTheLeadByte) {
    ScriptedSource source({{true, "\x85"}, {false, "\x8a\x8a"}, {true, "\x8a"}});
    StreamDecoder decoder;
    RecordingSink sink;
    EXPECT_EQ(ReadAndDecode(source, decoder, &sink, sink), read_result::Done);
    EXPECT_EQ(ReadAndDecode(source, decoder, &sink, sink), read_result::Failed);
    EXPECT_TRUE(sink.log.empty());
    EXPECT_EQ(decoder.PendingLead(), 0x85);
    EXPECT_EQ(ReadAndDecode(source, decoder, &sink, sink), read_result::Done);
    EXPECT_EQ(sink.log, std::vector<std::string>{"A:5,10"});
}

TEST(ReadAndDecode, WithoutASinkTheBytesAreNotLookedAt) {
    ScriptedSource source({{true, "\x85"}, {true, "A\x1a"}});
    StreamDecoder decoder;
    RecordingSink sink;
    EXPECT_EQ(ReadAndDecode(source, decoder, &sink, sink), read_result::Done);
    EXPECT_EQ(ReadAndDecode(source, decoder, nullptr, sink), read_result::Done);
    EXPECT_EQ(decoder.PendingLead(), 0x85);
    EXPECT_TRUE(sink.log.empty());
}

TEST(ReadAndDecode, EmptyReadIsNotAFailure) {
    ScriptedSource source({{true, ""}});
    StreamDecoder decoder;
    RecordingSink sink;
    EXPECT_EQ(ReadAndDecode(source, decoder, &sink, sink), read_result::Done);
    EXPECT_TRUE(sink.log.empty());
}

TEST(ReadAndDecode, ExitIsReportedSoTheLoopCanStop) {
    ScriptedSource source({{true, "A\x16" "B"}});
    StreamDecoder decoder;
    RecordingSink sink;
    EXPECT_EQ(ReadAndDecode(source, decoder, &sink, sink), read_result::ControlExited);
    EXPECT_EQ(sink.log, (std::vector<std::string>{"T:A", "E:4,0,0"}));
}

TEST(ReadAndDecode, AnOverlongCountIsCutToTheBlock) {
    class Overclaiming final : public ReadSource {
        bool Read(uint8_t* buf, uint32_t capacity, uint32_t* got) override {
            std::fill_n(buf, capacity, uint8_t{'q'});
            *got = capacity + 100;
            return true;
        }
    } source;
    StreamDecoder decoder;
    RecordingSink sink;
    EXPECT_EQ(ReadAndDecode(source, decoder, &sink, sink), read_result::Done);
    EXPECT_EQ(sink.log, (std::vector<std::string>{"T:" + std::string(2047, 'q'), "T:q"}));
}
}  // namespace

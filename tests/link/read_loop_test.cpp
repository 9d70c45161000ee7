// The read step: failed reads, empty reads, a missing sink, the exit result and the block size;
// when failed reads give the control up.
#include "link/read_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <utility>
#include <vector>

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
    EXPECT_EQ(sink.log, (std::vector<std::string>{TextLine("HI"), "IdentificationRequest"}));
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
    EXPECT_EQ(sink.log, std::vector<std::string>{"CursorAddress 5 10"});
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
    EXPECT_EQ(sink.log, (std::vector<std::string>{TextLine("A"), "ControlExited"}));
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
    EXPECT_EQ(sink.log, (std::vector<std::string>{TextLine(std::string(2047, 'q')), TextLine("q")}));
}
// Each step is a read at a time: 'G' failed with a gone error, 'F' failed with another, 'S'
// succeeded; the control is given up at the step named, or never (-1).
TEST(ReadFailureWatch, GoneErrorsAtOnceOthersOnceTheyLastASecond) {
    struct Case {
        const char* name;
        std::vector<std::pair<char, uint64_t>> reads;
        int givenUpAt;
    };
    const Case cases[] = {
        {"a gone error, first read", {{'G', 5}}, 0},
        {"a gone error after other failures", {{'F', 0}, {'F', 20}, {'G', 40}}, 2},
        {"another error lasting just under the bound", {{'F', 100}, {'F', 600}, {'F', 1099}}, -1},
        {"another error lasting the bound", {{'F', 100}, {'F', 600}, {'F', 1100}}, 2},
        {"a success in between starts the count again",
         {{'F', 0}, {'F', 900}, {'S', 950}, {'F', 1000}, {'F', 1999}},
         -1},
        {"and the new run then lasts the bound", {{'F', 0}, {'S', 950}, {'F', 1000}, {'F', 2000}}, 3},
    };
    for (const Case& c : cases) {
        ReadFailureWatch watch;
        int givenUpAt = -1;
        for (size_t i = 0; i < c.reads.size() && givenUpAt < 0; ++i) {
            const auto [kind, now] = c.reads[i];
            if (kind == 'S')
                watch.Succeeded();
            else if (watch.Failed(kind == 'G', now))
                givenUpAt = static_cast<int>(i);
        }
        EXPECT_EQ(givenUpAt, c.givenUpAt) << c.name;
    }
}

}  // namespace

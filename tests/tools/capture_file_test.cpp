// Session captures: what is written reads back, every cut leaves the whole blocks before it,
// other byte orders and time units read, and each broken field is named with its offset;
// classic pcap files read with their directions guessed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/common/capture_classic.h"
#include "tools/common/capture_file.h"
#include "tools/common/texts.h"

namespace {
using capture::Direction;
using capture::Record;

const std::vector<Record>& SampleRecords() {
    static const std::vector<Record> records = {
        {1700000000000000, Direction::ToPanel, std::string("\x01HELLO\x85\x8a", 8)},
        {1700000000000001, Direction::ToControl, "PPK"},
        {1700000000000002, Direction::ToControl, ""},
        {1700000000500000, Direction::ToPanel, "ABCD"},
        {1700000000500000, Direction::ToControl, "VFD\x00X"},
        {1700000001000000, Direction::ToPanel, std::string(70000, '\x7f')},
    };
    return records;
}

std::string Header() { return capture::FileHeader("test 1", "a capture"); }

std::string SampleFile() {
    std::string file = Header();
    for (const Record& r : SampleRecords()) file += capture::PacketBlock(r);
    return file;
}

void ExpectRecords(const std::vector<Record>& got, size_t count) {
    ASSERT_EQ(got.size(), count);
    for (size_t i = 0; i < count; ++i) {
        EXPECT_EQ(got[i].timeUs, SampleRecords()[i].timeUs) << i;
        EXPECT_EQ(got[i].direction, SampleRecords()[i].direction) << i;
        EXPECT_EQ(got[i].bytes, SampleRecords()[i].bytes) << i;
    }
}

void Put32(std::string& file, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<char>(v >> (8 * i));
}

TEST(CaptureFile, WrittenRecordsReadBackWhole) {
    const capture::ReadResult r = capture::Read(SampleFile());
    EXPECT_EQ(r.id, 0u);
    EXPECT_FALSE(r.cut);
    ExpectRecords(r.records, SampleRecords().size());
    EXPECT_TRUE(capture::LooksLikeCapture(SampleFile()));
}

TEST(CaptureFile, EveryCutKeepsTheWholeBlocksBeforeIt) {
    const std::string file = SampleFile();
    // Ends of the section header, the interface description and each packet block.
    std::vector<size_t> ends = {static_cast<uint8_t>(file[4]) | static_cast<size_t>(static_cast<uint8_t>(file[5])) << 8,
                                Header().size()};
    for (const Record& rec : SampleRecords()) ends.push_back(ends.back() + capture::PacketBlock(rec).size());
    // Every length up to the big last block, then a stride through it.
    for (size_t length = 0; length <= file.size(); length += length < ends[ends.size() - 2] + 64 ? 1 : 997) {
        const capture::ReadResult r = capture::Read(std::string_view(file).substr(0, length));
        size_t whole = 0;
        while (whole < ends.size() && ends[whole] <= length) ++whole;
        const bool onBoundary = length == 0 || (whole > 0 && ends[whole - 1] == length);
        if (whole < 2 && length > 0) {  // no whole interface description: no link type, nothing to read
            ASSERT_EQ(r.id, tool_text::CaptureHeaderCut) << length;
            EXPECT_EQ(r.offset, whole == 0 ? 0 : ends[0]) << length;
            continue;
        }
        ASSERT_EQ(r.id, 0u) << length;
        ASSERT_EQ(r.cut, !onBoundary) << length;
        if (r.cut) {
            EXPECT_EQ(r.offset, ends[whole - 1]) << length;
        }
        ExpectRecords(r.records, whole < 2 ? 0 : whole - 2);
    }
}

// A big-endian section with nanosecond times, an unknown block and a second section.
TEST(CaptureFile, BigEndianSectionsNanosecondsAndUnknownBlocksRead) {
    auto be32 = [](uint32_t v) {
        return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                           static_cast<char>(v)};
    };
    auto block = [&](uint32_t type, const std::string& body) {
        const uint32_t total = static_cast<uint32_t>(12 + body.size());
        return be32(type) + be32(total) + body + be32(total);
    };
    const std::string shb = block(0x0A0D0D0A, be32(0x1A2B3C4D) + std::string("\x00\x01\x00\x00", 4) +
                                                  std::string(8, '\xff'));
    const std::string idb = block(1, std::string("\x00\x93\x00\x00", 4) + be32(0) +
                                         std::string("\x00\x09\x00\x01\x09\x00\x00\x00", 8) + be32(0));
    const uint64_t ns = 1700000000123456789ull;
    const std::string epb = block(6, be32(0) + be32(static_cast<uint32_t>(ns >> 32)) +
                                         be32(static_cast<uint32_t>(ns)) + be32(2) + be32(2) + std::string("Hi\x00\x00", 4) +
                                         std::string("\x00\x02\x00\x04", 4) + be32(2) + be32(0));
    const std::string unknown = block(0x0BAD, "abcd");
    const capture::ReadResult r = capture::Read(shb + idb + unknown + epb + SampleFile());
    ASSERT_EQ(r.id, 0u) << tool_text::Text(r.id) << " at " << r.offset;
    ASSERT_EQ(r.records.size(), 1 + SampleRecords().size());
    EXPECT_EQ(r.records[0].timeUs, ns / 1000);
    EXPECT_EQ(r.records[0].direction, Direction::ToControl);
    EXPECT_EQ(r.records[0].bytes, "Hi");
    EXPECT_EQ(r.records[1].bytes, SampleRecords()[0].bytes);
}

TEST(CaptureFile, BrokenFieldsAreNamedWithTheirBlockOffset) {
    const std::string good = SampleFile();
    const size_t shb = 0;
    const size_t idb = static_cast<uint8_t>(good[4]) | static_cast<uint8_t>(good[5]) << 8;
    const size_t epb = Header().size();
    const size_t epbLength = capture::PacketBlock(SampleRecords()[0]).size();
    struct Case {
        const char* what;
        size_t at;
        uint32_t value;
        unsigned id;
        size_t offset;
    };
    const Case cases[] = {
        {"first block is not a section", shb, 1, tool_text::CaptureNotPcapng, shb},
        {"byte-order magic", shb + 8, 0x12345678, tool_text::CaptureNotPcapng, shb},
        {"major version", shb + 12, 2, tool_text::CaptureVersion, shb},
        {"zero block length", epb + 4, 0, tool_text::CaptureBlockLength, epb},
        {"block length past any block", epb + 4, 0xFFFFFFF0, tool_text::CaptureBlockLength, epb},
        {"block length not a multiple of 4", epb + 4, 13, tool_text::CaptureBlockLength, epb},
        {"trailing length differs", epb + epbLength - 4, 8, tool_text::CaptureBlockLength, epb},
        {"link type", idb + 8, 1, tool_text::CaptureLinkType, idb},
        {"time resolution in powers of two", idb + 16 + 4 + 8 + 4 + 12 + 4, 0x86, tool_text::CaptureTimeResolution, idb},
        {"interface number", epb + 8, 1, tool_text::CaptureInterface, epb},
        {"captured length", epb + 20, 0x7fffffff, tool_text::CapturePacketLength, epb},
        {"option length", epb + 28 + 8, 0x01000002, tool_text::CaptureOption, epb},
        {"no direction", epb + 28 + 8 + 4, 0, tool_text::CaptureDirection, epb},
        {"both directions", epb + 28 + 8 + 4, 3, tool_text::CaptureDirection, epb},
    };
    for (const Case& c : cases) {
        std::string file = good;
        Put32(file, c.at, c.value);
        const capture::ReadResult r = capture::Read(file);
        EXPECT_EQ(r.id, c.id) << c.what << ": " << tool_text::Text(r.id);
        EXPECT_EQ(r.offset, c.offset) << c.what;
    }
}
std::string Classic(bool big, bool nano, uint32_t linkType, const std::vector<std::string>& packets) {
    auto u32 = [big](uint32_t v) {
        std::string s(4, '\0');
        for (int i = 0; i < 4; ++i) s[big ? 3 - i : i] = static_cast<char>(v >> (8 * i));
        return s;
    };
    std::string file = u32(nano ? 0xA1B23C4D : 0xA1B2C3D4) + (big ? std::string("\0\2\0\4", 4) : std::string("\2\0\4\0", 4)) +
                       u32(0) + u32(0) + u32(262144) + u32(linkType);
    uint32_t second = 1700000000;
    for (const std::string& p : packets) {
        const auto size = static_cast<uint32_t>(p.size());
        file += u32(second++) + u32(nano ? 250000000 : 250000) + u32(size) + u32(size) + p;
    }
    return file;
}

TEST(CaptureFile, ClassicPcapReadsBothByteOrdersAndTimeUnitsWithDirectionsGuessed) {
    // Commands continue across packets ("VF" + "D", "qST" + "OP\n"); a display block has control
    // or address bytes; text that is no command ("late") is inbound.
    const std::vector<std::string> packets = {"\x01MENU\x1a", "PPK", "VF", "\x85\x80MORE", "D", "qST", "OP\n7", "late"};
    const Direction expected[] = {Direction::ToPanel, Direction::ToControl, Direction::ToControl, Direction::ToPanel,
                                  Direction::ToControl, Direction::ToControl, Direction::ToControl, Direction::ToPanel};
    for (const bool big : {false, true}) {
        for (const bool nano : {false, true}) {
            const capture::ReadResult r = capture::Read(Classic(big, nano, 147, packets));
            ASSERT_EQ(r.id, 0u) << big << nano << ": " << tool_text::Text(r.id);
            EXPECT_TRUE(r.directionsGuessed);
            ASSERT_EQ(r.records.size(), packets.size());
            for (size_t i = 0; i < packets.size(); ++i) {
                EXPECT_EQ(r.records[i].bytes, packets[i]);
                EXPECT_EQ(r.records[i].direction, expected[i]) << i;
                EXPECT_EQ(r.records[i].timeUs, (1700000000ull + i) * 1000000 + 250000) << i;
            }
        }
    }
    const std::string good = Classic(false, false, 147, packets);
    std::string tooLong = good;
    tooLong[24 + 8 + 2] = 0x10;  // 1 MiB in the first record
    struct Case {
        const char* what;
        std::string file;
        unsigned id;
        bool cut;
        size_t records;
    };
    const Case cases[] = {
        {"other link type", Classic(false, false, 1, packets), tool_text::CaptureLinkType, false, 0},
        {"header cut", good.substr(0, 23), tool_text::CaptureHeaderCut, false, 0},
        {"bare magic", good.substr(0, 4), tool_text::CaptureHeaderCut, false, 0},
        {"last record cut", good.substr(0, good.size() - 1), 0, true, packets.size() - 1},
        {"record header cut", good.substr(0, 24 + 16 + 6 + 3), 0, true, 1},
        {"impossible record length", tooLong, tool_text::CapturePcapRecordLength, false, 0},
    };
    for (const Case& c : cases) {
        const capture::ReadResult r = capture::Read(c.file);
        EXPECT_EQ(r.id, c.id) << c.what << ": " << tool_text::Text(r.id);
        EXPECT_EQ(r.cut, c.cut) << c.what;
        EXPECT_EQ(r.records.size(), c.records) << c.what;
    }
}
}  // namespace

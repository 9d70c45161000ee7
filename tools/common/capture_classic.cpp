// The classic pcap header and record framing, and the direction guess from the command grammar.
#include "tools/common/capture_classic.h"

#include "tools/common/capture_fields.h"
#include "tools/common/commands.h"
#include "tools/common/texts.h"

namespace capture {
namespace {
constexpr uint32_t kMagicMicro = 0xA1B2C3D4;
constexpr uint32_t kMagicNano = 0xA1B23C4D;
constexpr size_t kFileHeader = 24;
constexpr size_t kRecordHeader = 16;
constexpr uint16_t kMajorVersion = 2;
constexpr uint32_t kLinkTypeMask = 0xFFFF;  // the upper bits may hold the FCS length
// Wireshark's bound for a packet of this link type: a longer one is damage, not a cut.
constexpr uint32_t kMaxPacket = 262144;

struct Magic {
    uint32_t value;
    bool big;
    bool nano;
};
constexpr Magic kMagics[] = {
    {kMagicMicro, false, false}, {kMagicMicro, true, false}, {kMagicNano, false, true}, {kMagicNano, true, true}};

const Magic* FindMagic(std::string_view head) {
    if (head.size() < 4) return nullptr;
    for (const Magic& m : kMagics)
        if (Fields(head, m.big).U32(0) == m.value) return &m;
    return nullptr;
}
}  // namespace

bool IsClassicMagic(std::string_view head) { return FindMagic(head) != nullptr; }

ReadResult ReadClassic(std::string_view file) {
    ReadResult result;
    result.directionsGuessed = true;
    const Magic* magic = FindMagic(file);
    if (!magic) {
        result.id = tool_text::CaptureNotPcapng;
        return result;
    }
    if (file.size() < kFileHeader) {
        result.id = tool_text::CaptureHeaderCut;
        return result;
    }
    const Fields header(file.substr(0, kFileHeader), magic->big);
    if (header.U16(4) != kMajorVersion) {
        result.id = tool_text::CaptureVersion;
        return result;
    }
    const uint32_t network = header.U32(20);
    if ((network & kLinkTypeMask) != LinkType) {
        result.id = tool_text::CaptureLinkType;
        result.linkType = network & kLinkTypeMask;
        return result;
    }
    size_t pos = kFileHeader;
    while (pos < file.size()) {
        const size_t left = file.size() - pos;
        if (left < kRecordHeader) {
            result.cut = true;
            result.offset = pos;
            break;
        }
        const Fields record(file.substr(pos, kRecordHeader), magic->big);
        const uint32_t captured = record.U32(8);
        if (captured > kMaxPacket) {
            result.id = tool_text::CapturePcapRecordLength;
            result.offset = pos;
            break;
        }
        if (captured > left - kRecordHeader) {
            result.cut = true;
            result.offset = pos;
            break;
        }
        Record r;
        const uint32_t fraction = record.U32(4);
        r.timeUs = static_cast<uint64_t>(record.U32(0)) * 1000000 + (magic->nano ? fraction / 1000 : fraction);
        r.bytes = std::string(file.substr(pos + kRecordHeader, captured));
        result.records.push_back(std::move(r));
        pos += kRecordHeader + captured;
    }
    GuessDirections(result.records);
    return result;
}

void GuessDirections(std::vector<Record>& records) {
    CommandReader commands;
    for (Record& r : records) {
        bool outbound = !r.bytes.empty();
        for (char b : r.bytes) outbound = outbound && (b == '\n' || (b >= 0x20 && b < 0x7F));
        if (outbound) {
            CommandReader trial = commands;
            std::vector<Command> read;
            trial.Feed(r.bytes, read);
            for (const Command& c : read) outbound = outbound && c.kind != CommandKind::Unknown;
            if (outbound) commands = trial;
        }
        r.direction = outbound ? Direction::ToControl : Direction::ToPanel;
    }
}

}  // namespace capture

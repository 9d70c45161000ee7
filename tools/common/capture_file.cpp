// pcapng writing and reading: block framing, the few options used, and bounds checks at every
// step so that a cut or hostile file yields whole records and an error with its offset.
#include "tools/common/capture_file.h"

#include "tools/common/capture_classic.h"
#include "tools/common/capture_fields.h"
#include "tools/common/texts.h"

namespace capture {
namespace {
constexpr uint32_t kSectionHeader = 0x0A0D0D0A;
constexpr char kSectionHeaderBytes[] = "\x0A\x0D\x0D\x0A";  // a palindrome: the same in both byte orders
constexpr uint32_t kInterfaceDescription = 1;
constexpr uint32_t kEnhancedPacket = 6;
constexpr uint32_t kByteOrderMagic = 0x1A2B3C4D;
constexpr uint32_t kByteOrderSwapped = 0x4D3C2B1A;
constexpr uint16_t kMajorVersion = 1;
constexpr uint16_t kEndOfOptions = 0;
constexpr uint16_t kShbUserApplication = 4;
constexpr uint16_t kIfName = 2;
constexpr uint16_t kIfDescription = 3;
constexpr uint16_t kIfTimeResolution = 9;
constexpr uint16_t kEpbFlags = 2;
constexpr uint8_t kMicroseconds = 6;
constexpr uint8_t kBinaryResolution = 0x80;
constexpr uint32_t kDirectionMask = 3;
constexpr size_t kBlockFrame = 12;  // type, length, trailing length
constexpr size_t kPacketFixed = 20;  // interface, time high and low, captured and original lengths
// Longer blocks are damage, not a cut file: the bound of Wireshark's reader, so that both call
// the same files broken (a 128 MiB packet and room for its options).
constexpr uint32_t kMaxBlockLength = 128u * 1024 * 1024 + 128 * 1024 + 32;

size_t Padded(size_t n) { return (n + 3) & ~size_t{3}; }

void Put16(std::string& s, uint16_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
}

void Put32(std::string& s, uint32_t v) {
    Put16(s, static_cast<uint16_t>(v & 0xFFFF));
    Put16(s, static_cast<uint16_t>(v >> 16));
}

void PutOption(std::string& s, uint16_t code, std::string_view value) {
    Put16(s, code);
    Put16(s, static_cast<uint16_t>(value.size()));
    s.append(value.data(), value.size());
    s.append(Padded(value.size()) - value.size(), '\0');
}

void PutEndOfOptions(std::string& s) {
    Put16(s, kEndOfOptions);
    Put16(s, 0);
}

std::string Block(uint32_t type, const std::string& body) {
    const uint32_t total = static_cast<uint32_t>(kBlockFrame + body.size());
    std::string block;
    block.reserve(total);
    Put32(block, type);
    Put32(block, total);
    block += body;
    Put32(block, total);
    return block;
}

struct Interface {
    uint16_t linkType = 0;
    uint8_t decimals = kMicroseconds;  // time unit 10^-decimals s
};

// Walks the options of a block body from `at`; calls take(code, value) for each one.
template <class Take>
unsigned WalkOptions(const Fields& body, size_t at, Take take) {
    while (at + 4 <= body.Size()) {
        const uint16_t code = body.U16(at);
        const uint16_t length = body.U16(at + 2);
        if (code == kEndOfOptions) return tool_text::Ok;
        if (length > body.Size() - at - 4) return tool_text::CaptureOption;
        take(code, body.Sub(at + 4, length));
        at += 4 + Padded(length);
    }
    return tool_text::Ok;
}

unsigned ToMicroseconds(uint64_t stamp, uint8_t decimals, uint64_t& us) {
    uint64_t scale = 1;
    for (int i = 0; i < (decimals > kMicroseconds ? decimals - kMicroseconds : kMicroseconds - decimals); ++i) scale *= 10;
    if (decimals >= kMicroseconds) {
        us = stamp / scale;
        return tool_text::Ok;
    }
    if (stamp > UINT64_MAX / scale) return tool_text::CaptureTimeRange;
    us = stamp * scale;
    return tool_text::Ok;
}

class Reader {
public:
    explicit Reader(std::string_view file) : file_(file) {}
    ReadResult Run();

private:
    unsigned Section(const Fields& body);
    unsigned InterfaceBlock(const Fields& body);
    unsigned Packet(const Fields& body);

    // A cut before the first interface is described leaves no link type: nothing to read.
    unsigned Cut(size_t pos);

    std::string_view file_;
    bool big_ = false;
    bool inSection_ = false;
    bool described_ = false;  // an interface block has been read whole
    std::vector<Interface> interfaces_;
    ReadResult result_;
};

ReadResult Reader::Run() {
    size_t pos = 0;
    while (pos < file_.size()) {
        const size_t left = file_.size() - pos;
        if (left < kBlockFrame) {
            if (!inSection_) {
                const std::string_view rest = file_.substr(pos, 4);
                const bool magic = rest == std::string_view(kSectionHeaderBytes, 4).substr(0, rest.size());
                result_.id = magic ? tool_text::CaptureHeaderCut : tool_text::CaptureNotPcapng;
                result_.offset = pos;
                break;
            }
            result_.id = Cut(pos);
            break;
        }
        const Fields head(file_.substr(pos, kBlockFrame), big_);
        const uint32_t type = head.U32(0);
        if (type == kSectionHeader) {
            const uint32_t magic = Fields(file_.substr(pos + 8, 4), false).U32(0);
            if (magic != kByteOrderMagic && magic != kByteOrderSwapped) {
                result_.id = tool_text::CaptureNotPcapng;
                result_.offset = pos;
                break;
            }
            big_ = magic == kByteOrderSwapped;
        } else if (!inSection_) {
            result_.id = tool_text::CaptureNotPcapng;
            result_.offset = pos;
            break;
        }
        const uint32_t total = Fields(file_.substr(pos, kBlockFrame), big_).U32(4);
        if (total < kBlockFrame || total % 4 != 0 || total > kMaxBlockLength) {
            result_.id = tool_text::CaptureBlockLength;
            result_.offset = pos;
            break;
        }
        if (total > left) {
            result_.id = Cut(pos);
            break;
        }
        const Fields block(file_.substr(pos, total), big_);
        if (block.U32(total - 4) != total) {
            result_.id = tool_text::CaptureBlockLength;
            result_.offset = pos;
            break;
        }
        const Fields body(file_.substr(pos + 8, total - kBlockFrame), big_);
        unsigned id = tool_text::Ok;
        if (type == kSectionHeader)
            id = Section(body);
        else if (type == kInterfaceDescription)
            id = InterfaceBlock(body);
        else if (type == kEnhancedPacket)
            id = Packet(body);
        if (id != tool_text::Ok) {
            result_.id = id;
            result_.offset = pos;
            break;
        }
        pos += total;
    }
    if (result_.id == tool_text::Ok && !result_.cut && !file_.empty() && !described_) {
        result_.id = tool_text::CaptureHeaderCut;  // a section header alone
        result_.offset = pos;
    }
    return std::move(result_);
}

unsigned Reader::Cut(size_t pos) {
    result_.offset = pos;
    if (!described_) return tool_text::CaptureHeaderCut;
    result_.cut = true;
    return tool_text::Ok;
}

unsigned Reader::Section(const Fields& body) {
    if (body.Size() < 16) return tool_text::CaptureBlockLength;
    if (body.U16(4) != kMajorVersion) return tool_text::CaptureVersion;
    inSection_ = true;
    interfaces_.clear();  // interface numbers start again in each section
    return tool_text::Ok;
}

unsigned Reader::InterfaceBlock(const Fields& body) {
    if (body.Size() < 8) return tool_text::CaptureBlockLength;
    Interface itf;
    itf.linkType = body.U16(0);
    if (itf.linkType != LinkType) {
        result_.linkType = itf.linkType;
        return tool_text::CaptureLinkType;
    }
    unsigned resolution = tool_text::Ok;
    unsigned id = WalkOptions(body, 8, [&](uint16_t code, std::string_view value) {
        if (code != kIfTimeResolution || value.size() != 1) return;
        const auto r = static_cast<uint8_t>(value[0]);
        if (r & kBinaryResolution || r > 9) resolution = tool_text::CaptureTimeResolution;
        else itf.decimals = r;
    });
    if (id != tool_text::Ok) return id;
    if (resolution != tool_text::Ok) return resolution;
    interfaces_.push_back(itf);
    described_ = true;
    return tool_text::Ok;
}

unsigned Reader::Packet(const Fields& body) {
    if (body.Size() < kPacketFixed) return tool_text::CaptureBlockLength;
    const uint32_t index = body.U32(0);
    if (index >= interfaces_.size()) return tool_text::CaptureInterface;
    const uint32_t captured = body.U32(12);
    if (captured > body.Size() - kPacketFixed) return tool_text::CapturePacketLength;
    uint32_t flags = 0;
    bool haveFlags = false;
    const size_t optionsAt = kPacketFixed + Padded(captured);
    if (optionsAt <= body.Size()) {
        unsigned id = WalkOptions(body, optionsAt, [&](uint16_t code, std::string_view value) {
            if (code != kEpbFlags || value.size() != 4) return;
            flags = Fields(value, big_).U32(0);
            haveFlags = true;
        });
        if (id != tool_text::Ok) return id;
    }
    const uint32_t direction = flags & kDirectionMask;
    if (!haveFlags || (direction != 1 && direction != 2)) return tool_text::CaptureDirection;
    Record record;
    const uint64_t stamp = (static_cast<uint64_t>(body.U32(4)) << 32) | body.U32(8);
    unsigned id = ToMicroseconds(stamp, interfaces_[index].decimals, record.timeUs);
    if (id != tool_text::Ok) return id;
    record.direction = static_cast<Direction>(direction);
    record.bytes = std::string(body.Sub(kPacketFixed, captured));
    result_.records.push_back(std::move(record));
    return tool_text::Ok;
}
}  // namespace

std::string FileHeader(std::string_view application, std::string_view description) {
    std::string section;
    Put32(section, kByteOrderMagic);
    Put16(section, kMajorVersion);
    Put16(section, 0);
    Put32(section, 0xFFFFFFFF);  // section length unknown
    Put32(section, 0xFFFFFFFF);
    PutOption(section, kShbUserApplication, application);
    PutEndOfOptions(section);

    std::string itf;
    Put16(itf, LinkType);
    Put16(itf, 0);
    Put32(itf, 0);  // no snapshot limit
    PutOption(itf, kIfName, "quorvex");
    PutOption(itf, kIfDescription, description);
    PutOption(itf, kIfTimeResolution, std::string_view(reinterpret_cast<const char*>(&kMicroseconds), 1));
    PutEndOfOptions(itf);
    return Block(kSectionHeader, section) + Block(kInterfaceDescription, itf);
}

std::string PacketBlock(const Record& record) {
    std::string body;
    const auto length = static_cast<uint32_t>(record.bytes.size());
    Put32(body, 0);
    Put32(body, static_cast<uint32_t>(record.timeUs >> 32));
    Put32(body, static_cast<uint32_t>(record.timeUs & 0xFFFFFFFF));
    Put32(body, length);
    Put32(body, length);
    body += record.bytes;
    body.append(Padded(record.bytes.size()) - record.bytes.size(), '\0');
    std::string flags;
    Put32(flags, static_cast<uint32_t>(record.direction));
    PutOption(body, kEpbFlags, flags);
    PutEndOfOptions(body);
    return Block(kEnhancedPacket, body);
}

Format Sniff(std::string_view head) {
    if (IsClassicMagic(head)) return Format::Pcap;
    if (head.size() < 4 || Fields(head, false).U32(0) != kSectionHeader) return Format::Raw;
    // A stream may start with the same four bytes (LF CR CR LF); a section has its magic next.
    if (head.size() < kBlockFrame) return Format::Pcapng;
    const uint32_t magic = Fields(head, false).U32(8);
    return magic == kByteOrderMagic || magic == kByteOrderSwapped ? Format::Pcapng : Format::Raw;
}

ReadResult Read(std::string_view file) {
    return Sniff(file) == Format::Pcap ? ReadClassic(file) : Reader(file).Run();
}

bool LooksLikeCapture(std::string_view head) { return Sniff(head) != Format::Raw; }

}  // namespace capture

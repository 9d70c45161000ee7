// Session captures: pcapng files with one interface of link type USER0 (147) whose packets are
// the bytes of one pipe read, with the direction in each packet's flags and microsecond times;
// also read from classic pcap files of that link type (which have no directions).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace capture {

constexpr uint16_t LinkType = 147;  // LINKTYPE_USER0

// The direction flags of an Enhanced Packet Block: inbound = towards the panel.
enum class Direction : uint8_t { ToPanel = 1, ToControl = 2 };

struct Record {
    uint64_t timeUs = 0;  // microseconds since 1970-01-01 UTC
    Direction direction = Direction::ToPanel;
    std::string bytes;
};

// Section Header Block and Interface Description Block, written once at the start.
std::string FileHeader(std::string_view application, std::string_view description);
// One Enhanced Packet Block, written with one write so that a cut file ends on a whole block.
std::string PacketBlock(const Record& record);

struct ReadResult {
    unsigned id = 0;          // 0, or the text id of the error that stopped the reading
    uint64_t offset = 0;      // where that error is, or where the cut final block starts
    bool cut = false;         // the file ends inside a block; the records before it are whole
    bool directionsGuessed = false;  // a classic pcap: each direction guessed from the bytes
    uint32_t linkType = 0;    // with CaptureLinkType: the link type the file has
    std::vector<Record> records;  // in file order
};

enum class Format { Raw, Pcapng, Pcap };

// Reads a whole capture held in memory, pcapng or classic pcap; never reads outside `file`.
ReadResult Read(std::string_view file);
// By the first bytes: a pcapng section (its block type, and its byte-order magic once there
// are 12 bytes), a classic pcap (either magic, either byte order), or anything else.
Format Sniff(std::string_view head);
bool LooksLikeCapture(std::string_view head);

}  // namespace capture

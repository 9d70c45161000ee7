// Session captures: pcapng files with one interface of link type USER0 (147) whose packets are
// the bytes of one pipe read, with the direction in each packet's flags and microsecond times.
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
    std::vector<Record> records;  // in file order
};

// Reads a whole capture held in memory; never reads outside `file`.
ReadResult Read(std::string_view file);
// The file starts like a pcapng section (block type and byte-order magic).
bool LooksLikeCapture(std::string_view head);

}  // namespace capture

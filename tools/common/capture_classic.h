// Classic pcap files of the captures' link type, as written by editcap -F pcap and other tools.
#pragma once
#include <string_view>

#include "tools/common/capture_file.h"

namespace capture {

// Either magic (microseconds or nanoseconds) in either byte order.
bool IsClassicMagic(std::string_view head);
// Reads the records; their directions are guessed (ReadResult::directionsGuessed).
ReadResult ReadClassic(std::string_view file);
// A classic pcap records no direction: a packet of printable bytes and line feeds that all
// continue the commands read so far (no unknown byte) counts as outbound, any other as inbound.
void GuessDirections(std::vector<Record>& records);

}  // namespace capture

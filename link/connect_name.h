// Which computer names the panel accepts: a host name or a dotted IPv4 address, nothing that
// could turn a pipe or network name into a local pipe, a share or a path.
#pragma once

namespace connect_logic {

// A host name: labels of ASCII letters, digits, "-" and "_" joined by single "." (no label empty,
// none beginning or ending with "-"); or, when the name holds only digits and ".", exactly four
// decimal parts 0..255 without leading zeros. At most 32 characters either way.
bool IsComputerName(const char* name);

}  // namespace connect_logic

// Bounded little- or big-endian field reads over a view of a capture file, shared by the
// pcapng and the classic pcap readers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace capture {

class Fields {
public:
    Fields(std::string_view bytes, bool bigEndian) : bytes_(bytes), big_(bigEndian) {}
    size_t Size() const { return bytes_.size(); }
    uint16_t U16(size_t at) const {
        const auto b0 = static_cast<uint8_t>(bytes_[at]), b1 = static_cast<uint8_t>(bytes_[at + 1]);
        return static_cast<uint16_t>(big_ ? (b0 << 8) | b1 : (b1 << 8) | b0);
    }
    uint32_t U32(size_t at) const {
        const uint32_t lo = U16(at), hi = U16(at + 2);
        return big_ ? (lo << 16) | hi : (hi << 16) | lo;
    }
    std::string_view Sub(size_t at, size_t n) const { return bytes_.substr(at, n); }

private:
    std::string_view bytes_;
    bool big_;
};

}  // namespace capture

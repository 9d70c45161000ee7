// Generators of the benchmark streams, from a fixed seed so that every run sees the same bytes.
#include "bench/streams.h"

namespace bench_streams {
namespace {
void Address(std::vector<uint8_t>& s, int row, int column) {
    s.push_back(static_cast<uint8_t>(0x80 | row));
    s.push_back(static_cast<uint8_t>(0x80 | column));
}
}  // namespace

std::vector<uint8_t> TextHeavy(size_t size) {
    Random r;
    std::vector<uint8_t> s;
    s.reserve(size);
    while (s.size() < size) {
        const uint32_t line = 2000 + r.Next(2000);
        for (uint32_t i = 0; i < line && s.size() < size; ++i) s.push_back(r.Printable());
        s.push_back('\r');
        s.push_back('\n');
    }
    s.resize(size);
    return s;
}

std::vector<uint8_t> FullScreens(size_t size) {
    Random r;
    std::vector<uint8_t> s;
    s.reserve(size);
    while (s.size() < size) {
        s.push_back(0x01);
        for (int row = 0; row < 20; ++row) {
            Address(s, row, 0);
            for (int c = 0; c < 40; ++c) s.push_back(r.Printable());
        }
    }
    s.resize(size);
    return s;
}

std::vector<uint8_t> ControlHeavy(size_t size) {
    static constexpr uint8_t kCodes[] = {0x0D, 0x0A, 0x07, 0x0E, 0x0F, 0x0B, 0x0C, 0x15, 0x1A, 0x00, 0x09, 0x1B};
    Random r;
    std::vector<uint8_t> s;
    s.reserve(size);
    while (s.size() < size) {
        switch (r.Next(4)) {
        case 0: s.push_back(kCodes[r.Next(sizeof kCodes)]); break;
        case 1: Address(s, static_cast<int>(r.Next(20)), static_cast<int>(r.Next(40))); break;
        default:
            for (uint32_t n = 1 + r.Next(4); n > 0; --n) s.push_back(r.Printable());
            break;
        }
    }
    s.resize(size);
    return s;
}
std::vector<uint8_t> LiveScreens(size_t size, int rows) {
    constexpr int kFieldsPerScreen = 40;
    constexpr int kFieldWidth = 8;
    Random r;
    std::vector<uint8_t> s;
    s.reserve(size);
    while (s.size() < size) {
        for (int row = 0; row < rows; ++row) {
            Address(s, row, 0);
            for (int c = 0; c < 40; ++c) s.push_back(r.Printable());
        }
        for (int f = 0; f < kFieldsPerScreen; ++f) {
            Address(s, static_cast<int>(r.Next(static_cast<uint32_t>(rows))), static_cast<int>(r.Next(40 - kFieldWidth)));
            for (int c = 0; c < kFieldWidth; ++c) s.push_back(r.Printable());
        }
    }
    s.resize(size);
    return s;
}
}  // namespace bench_streams

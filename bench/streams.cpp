// Generators of the benchmark streams, from a fixed seed so that every run sees the same bytes.
#include "bench/streams.h"

#include "protocol/inbound_table.h"
#include "protocol/screen.h"

namespace bench_streams {
namespace {
namespace ev = display_event;
void Address(std::vector<uint8_t>& s, int row, int column) {
    s.push_back(inbound::AddressLead(row));
    s.push_back(inbound::AddressTrail(column));
}

// Every code but the screen clears and the exit notice, and three the panel drops.
constexpr uint8_t kCodes[] = {
    inbound::ByteOf(ev::CursorMove, ev::LineStart),   inbound::ByteOf(ev::CursorMove, ev::NextLine),
    inbound::ByteOf(ev::Signal, ev::SignalBell),      inbound::ByteOf(ev::Signal, ev::SignalShiftOut),
    inbound::ByteOf(ev::Signal, ev::SignalShiftIn),   inbound::ByteOf(ev::Clear, ev::ClearLine),
    inbound::ByteOf(ev::Clear, ev::ClearLine, 1),     inbound::ByteOf(ev::Clear, ev::ClearCursorLine),
    inbound::Identify,                                0x00,
    0x09,                                             0x1B,
};

// Steps until the stream holds `size` bytes, then cuts it there.
template <typename Step>
std::vector<uint8_t> Generate(size_t size, Step step) {
    Random r;
    std::vector<uint8_t> s;
    s.reserve(size);
    while (s.size() < size) step(r, s);
    s.resize(size);
    return s;
}

// Lines 0..rows-1 written whole through their cursor addresses.
void WriteLines(Random& r, std::vector<uint8_t>& s, int rows) {
    for (int row = 0; row < rows; ++row) {
        Address(s, row, 0);
        for (int c = 0; c < screen::Columns; ++c) s.push_back(r.Printable());
    }
}
}  // namespace

std::vector<uint8_t> TextHeavy(size_t size) {
    return Generate(size, [size](Random& r, std::vector<uint8_t>& s) {
        const uint32_t line = 2000 + r.Next(2000);
        for (uint32_t i = 0; i < line && s.size() < size; ++i) s.push_back(r.Printable());
        s.push_back('\r');
        s.push_back('\n');
    });
}

std::vector<uint8_t> FullScreens(size_t size) {
    return Generate(size, [](Random& r, std::vector<uint8_t>& s) {
        s.push_back(inbound::ClearScreen);
        WriteLines(r, s, screen::Lines);
    });
}

std::vector<uint8_t> ControlHeavy(size_t size) {
    return Generate(size, [](Random& r, std::vector<uint8_t>& s) {
        switch (r.Next(4)) {
        case 0: s.push_back(kCodes[r.Next(sizeof kCodes)]); break;
        case 1:
            Address(s, static_cast<int>(r.Next(screen::Lines)), static_cast<int>(r.Next(screen::Columns)));
            break;
        default:
            for (uint32_t n = 1 + r.Next(4); n > 0; --n) s.push_back(r.Printable());
            break;
        }
    });
}

std::vector<uint8_t> LiveScreens(size_t size, int rows) {
    constexpr int kFieldsPerScreen = 40;
    constexpr int kFieldWidth = 8;
    return Generate(size, [rows](Random& r, std::vector<uint8_t>& s) {
        WriteLines(r, s, rows);
        for (int f = 0; f < kFieldsPerScreen; ++f) {
            Address(s, static_cast<int>(r.Next(static_cast<uint32_t>(rows))),
                    static_cast<int>(r.Next(screen::Columns - kFieldWidth)));
            for (int c = 0; c < kFieldWidth; ++c) s.push_back(r.Printable());
        }
    });
}
}  // namespace bench_streams

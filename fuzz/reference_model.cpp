// The reference decoder and display: no tables, no fast paths, one byte and one cell at a time.
#include "fuzz/reference_model.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "protocol/display_event.h"
#include "protocol/inbound_table.h"
#include "tools/common/event_line.h"

namespace {
namespace ev = display_event;

std::string Line(uint32_t type, intptr_t kind = 0, int32_t argument = 0) { return EventLine(type, kind, argument); }

// A text line's characters: between its quotes, with the dump's escapes undone.
std::string TextOf(const std::string& entry) {
    std::string chars;
    for (size_t i = entry.find('"') + 1; i + 1 < entry.size(); ++i) {
        if (entry[i] != '\\') {
            chars += entry[i];
        } else if (entry[i + 1] == 'x') {
            chars += static_cast<char>(std::strtol(entry.substr(i + 2, 2).c_str(), nullptr, 16));
            i += 3;
        } else {
            chars += entry[++i];
        }
    }
    return chars;
}
}  // namespace

bool ReferenceDecoder::Decode(const uint8_t* bytes, size_t count, EventLog& log) {
    std::string run;
    auto flush = [&] {
        if (!run.empty()) log.push_back(Line(ev::Text, reinterpret_cast<intptr_t>(run.c_str()), static_cast<int32_t>(run.size())));
        run.clear();
    };
    for (size_t i = 0; i < count; ++i) {
        const uint8_t b = bytes[i];
        if (b >= 0x80) {
            flush();
            if (pending_ < 0) {
                pending_ = b;
                continue;
            }
            long row, column;
            if (pending_ & 0x40) {
                row = (pending_ ^ 0xC0) + 50;
                column = b ^ 0xC0;
            } else {
                row = pending_ ^ 0x80;
                column = b ^ 0x80;
            }
            pending_ = -1;
            log.push_back(Line(ev::CursorAddress, row, static_cast<int32_t>(column)));
        } else if (b >= 0x20) {
            pending_ = -1;
            run += static_cast<char>(b);
            if (run.size() == 2047) flush();
        } else {
            flush();
            pending_ = -1;
            if (b == 1 || b == 8 || b == 20) log.push_back(Line(ev::Clear, ev::ClearScreen));
            if (b == 7) log.push_back(Line(ev::Signal, ev::SignalBell));
            if (b == 10) log.push_back(Line(ev::CursorMove, ev::NextLine));
            if (b == 11) log.push_back(Line(ev::Clear, ev::ClearLine, 0));
            if (b == 12) log.push_back(Line(ev::Clear, ev::ClearLine, 1));
            if (b == 13) log.push_back(Line(ev::CursorMove, ev::LineStart));
            if (b == 14) log.push_back(Line(ev::Signal, ev::SignalShiftOut));
            if (b == 15) log.push_back(Line(ev::Signal, ev::SignalShiftIn));
            if (b == 21) log.push_back(Line(ev::Clear, ev::ClearCursorLine));
            if (b == 26) log.push_back(inbound::IdentificationRequest);
            if (b == 22) {
                log.push_back(Line(ev::ControlExited));
                return true;
            }
        }
    }
    flush();
    return false;
}

ReferenceDisplay::ReferenceDisplay() { std::memset(cells_, ' ', sizeof cells_); }

void ReferenceDisplay::SetCursor(long row, long column) {
    if (row >= 0 && row < 20 && column >= 0 && column < 40) row_ = row;
    column_ = column;
}

void ReferenceDisplay::BlankLine(long n) {
    if (n < 0 || n >= 20) return;
    std::memset(cells_[n], ' ', 40);
    SetCursor(n, 0);
}

void ReferenceDisplay::Apply(const std::string& entry) {
    long row, column, line;
    if (entry.rfind("Text ", 0) == 0) {
        const std::string chars = TextOf(entry);
        for (const char* p = chars.c_str(); *p && column_ >= 0 && column_ < 40; ++p) {
            const unsigned char c = static_cast<unsigned char>(*p);
            cells_[row_][column_++] = c >= 0x20 && c <= 0x7E ? static_cast<char>(c) : ' ';
        }
    } else if (std::sscanf(entry.c_str(), "CursorAddress %ld %ld", &row, &column) == 2) {
        SetCursor(row, column);
    } else if (entry == "Clear ClearScreen") {
        for (long n = 0; n < 20; ++n) BlankLine(n);
        SetCursor(0, 0);
    } else if (std::sscanf(entry.c_str(), "Clear ClearLine %ld", &line) == 1) {
        BlankLine(line);
        SetCursor(line, 0);
    } else if (entry == "Clear ClearCursorLine") {
        const long row = row_;
        BlankLine(row);
        SetCursor(row, 0);
    } else if (entry == "CursorMove NextLine") {
        SetCursor(row_ + 1, 0);
    } else if (entry == "CursorMove LineStart") {
        SetCursor(row_, 0);
    }
}

std::string ReferenceDisplay::Screen() const {
    return std::string(&cells_[0][0], sizeof cells_) + "@" + std::to_string(row_) + "," + std::to_string(column_);
}

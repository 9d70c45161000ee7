// The reference decoder and display: no tables, no fast paths, one byte and one cell at a time.
#include "fuzz/reference_model.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

bool ReferenceDecoder::Decode(const uint8_t* bytes, size_t count, EventLog& log) {
    std::string run;
    auto flush = [&] {
        if (!run.empty()) log.push_back("T:" + run);
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
            log.push_back("A:" + std::to_string(row) + "," + std::to_string(column));
        } else if (b >= 0x20) {
            pending_ = -1;
            run += static_cast<char>(b);
            if (run.size() == 2047) flush();
        } else {
            flush();
            pending_ = -1;
            if (b == 1 || b == 8 || b == 20) log.push_back("E:1,10,0");
            if (b == 7) log.push_back("E:2,14,0");
            if (b == 10) log.push_back("E:3,15,0");
            if (b == 11) log.push_back("E:1,11,0");
            if (b == 12) log.push_back("E:1,11,1");
            if (b == 13) log.push_back("E:3,16,0");
            if (b == 14) log.push_back("E:2,13,0");
            if (b == 15) log.push_back("E:2,12,0");
            if (b == 21) log.push_back("E:1,17,0");
            if (b == 26) log.push_back("W:VFD");
            if (b == 22) {
                log.push_back("E:4,0,0");
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
    const char* rest = entry.c_str() + 2;
    if (entry[0] == 'T') {
        for (const char* p = rest; *p && column_ >= 0 && column_ < 40; ++p) {
            const unsigned char c = static_cast<unsigned char>(*p);
            cells_[row_][column_++] = c >= 0x20 && c <= 0x7E ? static_cast<char>(c) : ' ';
        }
    } else if (entry[0] == 'A') {
        long row, column;
        std::sscanf(rest, "%ld,%ld", &row, &column);
        SetCursor(row, column);
    } else if (entry == "E:1,10,0") {
        for (long n = 0; n < 20; ++n) BlankLine(n);
        SetCursor(0, 0);
    } else if (entry == "E:1,11,0" || entry == "E:1,11,1") {
        const long n = entry.back() - '0';
        BlankLine(n);
        SetCursor(n, 0);
    } else if (entry == "E:1,17,0") {
        const long row = row_;
        BlankLine(row);
        SetCursor(row, 0);
    } else if (entry == "E:3,15,0") {
        SetCursor(row_ + 1, 0);
    } else if (entry == "E:3,16,0") {
        SetCursor(row_, 0);
    }
}

std::string ReferenceDisplay::Screen() const {
    return std::string(&cells_[0][0], sizeof cells_) + "@" + std::to_string(row_) + "," + std::to_string(column_);
}

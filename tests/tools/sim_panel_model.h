// A small model of the panel's display for the simulator's tests: applies display stream
// bytes to 20 lines of 40 cells the way the panel does (no wrap, text past column 39 dropped).
#pragma once
#include <string>
#include <string_view>

class PanelModel {
public:
    PanelModel() { Clear(); }

    void Apply(std::string_view bytes) {
        for (char ch : bytes) {
            auto b = static_cast<unsigned char>(ch);
            if (b >= 0x80) {
                if (lead_) {
                    SetCursor(lead_ & 0x40 ? (lead_ ^ 0xC0) + 50 : lead_ ^ 0x80, lead_ & 0x40 ? b ^ 0xC0 : b ^ 0x80);
                    lead_ = 0;
                } else {
                    lead_ = b;
                }
                continue;
            }
            lead_ = 0;
            if (b >= 0x20) {
                if (column_ < 40) lines_[row_][column_] = b == 0x7F ? ' ' : static_cast<char>(b);
                if (column_ < 40) ++column_;
                continue;
            }
            Control(b);
        }
    }

    std::string Line(int row) const { return lines_[row]; }
    // The line without trailing blanks.
    std::string Text(int row) const {
        std::string s = lines_[row];
        s.erase(s.find_last_not_of(' ') + 1);
        return s;
    }
    bool Contains(std::string_view text) const {
        for (const std::string& line : lines_) {
            if (line.find(text) != std::string::npos) return true;
        }
        return false;
    }
    int Row() const { return row_; }
    int Column() const { return column_; }
    int Identifies() const { return identifies_; }
    bool Exited() const { return exited_; }
    int Clears() const { return clears_; }

private:
    void Clear() {
        for (std::string& line : lines_) line.assign(40, ' ');
        row_ = 0;
        column_ = 0;
    }
    void SetCursor(int row, int column) {
        if (row >= 0 && row < 20 && column >= 0 && column < 40) row_ = row;
        column_ = column;
    }
    void BlankLine(int n) {
        if (n >= 0 && n < 20) lines_[n].assign(40, ' ');
        SetCursor(n, 0);
    }
    void Control(unsigned char b) {
        if (b == 1 || b == 8 || b == 20) {
            Clear();
            ++clears_;
        } else if (b == 10) {
            SetCursor(row_ + 1 < 20 ? row_ + 1 : 19, 0);
        } else if (b == 13) {
            SetCursor(row_, 0);
        } else if (b == 11 || b == 12) {
            BlankLine(b - 11);
        } else if (b == 21) {
            BlankLine(row_);
        } else if (b == 22) {
            exited_ = true;
        } else if (b == 26) {
            ++identifies_;
        }
    }

    std::string lines_[20];
    int row_ = 0;
    int column_ = 0;
    unsigned char lead_ = 0;
    int identifies_ = 0;
    int clears_ = 0;
    bool exited_ = false;
};

// A plain byte-at-a-time decoder and display written straight from the stream rules, for the
// fuzzer to compare the real ones against.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The lines quorvex-dump prints for the events and IdentificationRequest for an answer, in
// delivery order.
using EventLog = std::vector<std::string>;

class ReferenceDecoder {
public:
    // Appends what the block delivers; true when it ended with the control's exit.
    bool Decode(const uint8_t* bytes, size_t count, EventLog& log);

private:
    int pending_ = -1;
};

class ReferenceDisplay {
public:
    ReferenceDisplay();
    void Apply(const std::string& entry);
    std::string Screen() const;  // 20 x 40 characters, then "@row,column"

private:
    void SetCursor(long row, long column);
    void BlankLine(long n);

    char cells_[20][40];
    long row_ = 0;
    long column_ = 0;
};

// The capture file of a tap: the header, then one packet block per forwarded read, each in one
// write call so that a tap killed at any moment leaves a file of whole blocks.
#pragma once
#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>

#include "tools/common/capture_file.h"

class CaptureWriter {
public:
    CaptureWriter() = default;
    ~CaptureWriter() { Close(); }
    CaptureWriter(const CaptureWriter&) = delete;
    CaptureWriter& operator=(const CaptureWriter&) = delete;

    // Creates the file (kStandardOutput: writes to standard output) and writes its header; 0 or a
    // text id. An existing file is replaced only when `overwrite` is set.
    unsigned Create(const std::string& path, const std::string& description, bool overwrite);
    // Called by both forwarding threads; times never go backwards in the file.
    void Record(capture::Direction direction, const char* bytes, DWORD count, uint64_t timeUs);
    // No record is written after it.
    void Close();
    bool Failed() const;
    uint64_t Packets() const;

private:
    bool WriteBlock(const std::string& block);

    mutable std::mutex lock_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    bool ownsFile_ = true;
    bool failed_ = false;
    uint64_t lastUs_ = 0;
    uint64_t packets_ = 0;
};

// Microseconds since 1970-01-01 UTC with the performance counter's resolution.
uint64_t NowUs();

// The capture file of a tap: the header, then one packet block per forwarded read, each in one
// write call so that a tap killed at any moment leaves a file of whole blocks. The blocks are
// written by a thread of their own, so that forwarding never waits for the capture's reader
// (tshark on standard output may be starting, slow or gone).
#pragma once
#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

#include "tools/common/capture_file.h"

class CaptureWriter {
public:
    CaptureWriter() = default;
    ~CaptureWriter();
    CaptureWriter(const CaptureWriter&) = delete;
    CaptureWriter& operator=(const CaptureWriter&) = delete;

    // Creates the file (kStandardOutput: writes to standard output) and queues its header; 0 or a
    // text id. An existing file is replaced only when `overwrite` is set.
    unsigned Create(const std::string& path, const std::string& description, bool overwrite);
    // Called by both forwarding threads; never waits for the writing. Times never go backwards
    // in the file.
    void Record(capture::Direction direction, const char* bytes, DWORD count, uint64_t timeUs);
    // Writes what waits, giving up when the reader has taken nothing for stallMs; no record is
    // written after it.
    void Close(DWORD stallMs);
    // 0 while every record reached the file, else the text id of why the capture is incomplete.
    unsigned Failure() const;
    uint64_t Packets() const;

private:
    struct Block {
        std::string bytes;
        bool packet;
    };
    static DWORD WINAPI WriterMain(void* self);
    void WriteQueued();
    void QueueLocked(std::string bytes, bool packet);
    void Fail(unsigned id);

    mutable std::mutex lock_;
    std::condition_variable wake_;
    std::deque<Block> queue_;
    uint64_t queuedBytes_ = 0;
    bool closing_ = false;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE writer_ = nullptr;
    bool ownsFile_ = true;
    unsigned failure_ = 0;
    uint64_t lastUs_ = 0;
    uint64_t packets_ = 0;
    ULONGLONG lastProgress_ = 0;  // when the reader last took a block
};

// Microseconds since 1970-01-01 UTC with the performance counter's resolution.
uint64_t NowUs();

// The control's end of one device's pipe pair for the end-to-end benchmark: synchronous writes of
// the display stream, and a thread that stamps every command byte as it arrives.
#pragma once
#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class BenchPeer {
public:
    explicit BenchPeer(int device);
    ~BenchPeer();
    BenchPeer(const BenchPeer&) = delete;
    BenchPeer& operator=(const BenchPeer&) = delete;

    bool Ok() const { return display_ != INVALID_HANDLE_VALUE && commands_ != INVALID_HANDLE_VALUE; }
    // Blocks until a client opened both ends, then starts receiving.
    bool Accept();
    // One WriteFile of exactly these bytes.
    bool Write(const uint8_t* bytes, size_t count);
    bool Write(const std::string& bytes) { return Write(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()); }

    // Everything received so far, and when the total first reached `count` bytes (QPC ticks),
    // or 0 when the time ran out.
    size_t Received() const;
    std::string ReceivedText() const;
    int64_t WaitTotal(size_t count, DWORD timeoutMs) const;
    // Closes both ends as a crashed control would.
    void Vanish();

private:
    static DWORD WINAPI ReceiveLoop(void* self);

    HANDLE display_ = INVALID_HANDLE_VALUE;   // the client reads it
    HANDLE commands_ = INVALID_HANDLE_VALUE;  // the client writes it
    HANDLE receiver_ = nullptr;
    mutable std::mutex lock_;
    mutable std::condition_variable arrived_;
    std::string received_;
    std::vector<int64_t> reachedAt_;  // reachedAt_[i]: when byte i arrived
};

// The client's ends of a device's pipe pair, opened as the panel opens them; false when either fails.
bool OpenClientEnds(int device, HANDLE* read, HANDLE* write);

namespace bench_clock {
int64_t Now();
double Ms(int64_t ticks);
}  // namespace bench_clock

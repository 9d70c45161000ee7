// The simulator's side of one panel connection, as the script runner and the controller loop see it.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

enum class LinkStatus { Ok, TimedOut, Closed };

class PeerLink {
public:
    virtual ~PeerLink() = default;
    // Waits until a panel has opened both pipes.
    virtual LinkStatus WaitConnected(uint32_t timeoutMs) = 0;
    // Writes display bytes; Closed when the panel is gone.
    virtual LinkStatus Send(std::string_view bytes, uint32_t timeoutMs) = 0;
    // Appends at least one command byte from the panel, or reports why none came.
    virtual LinkStatus Receive(std::string& appendTo, uint32_t timeoutMs) = 0;
    // Closes both pipes at once; later calls report Closed.
    virtual void Close() = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint64_t NowMs() = 0;
    virtual void SleepMs(uint32_t ms) = 0;
};

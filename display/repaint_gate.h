// Which display lines have a repaint asked of the platform and not yet served, so that a line
// changing again before the paint costs no second platform call.
#pragma once
#include <atomic>
#include <cstdint>

class RepaintGate {
public:
    // Any thread, after the lines' change is in the buffer (a bit per line). The lines the
    // platform must be asked for: those with nothing pending.
    uint32_t Request(uint32_t lines);
    // The painting thread, after the platform began the paint (so that a request from now on
    // brings a new paint) and before it reads the buffer: every pending request is served now.
    void BeginServe();

private:
    std::atomic<uint32_t> pending_{0};
};

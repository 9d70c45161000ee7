// Which display lines have a repaint asked of the platform and not yet served, so that a line
// changing again before the paint costs no second platform call.
#pragma once
#include <atomic>
#include <cstdint>

class RepaintGate {
public:
    // Any thread, after the line's change is in the buffer. True when the platform must be
    // asked (nothing pending for the line, or a line the gate does not know).
    bool Request(int32_t line);
    // The painting thread, after the platform began the paint (so that a request from now on
    // brings a new paint) and before it reads the buffer: every pending request is served now.
    void BeginServe();

private:
    std::atomic<uint32_t> pending_{0};
};

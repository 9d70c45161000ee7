// Paces the repaints a stream of line changes asks for: a line changed soon after a paint is
// kept and asked with the others when the spacing is over, so that a fast control costs a few
// dozen paints a second instead of one (and a platform call per line) for every read.
#pragma once
#include <atomic>
#include <cstdint>

class RepaintPacer {
public:
    static constexpr uint64_t SpacingMs = 16;

    enum class Ask {
        Now,          // ask the platform for the lines' repaint now
        Later,        // kept; a timer is already on its way
        LaterAndArm,  // kept; the caller must start the timer (ArmDelayMs), or ask TakeKept now
    };

    // Any thread, for lines whose repaint is due (the gate let them through), a bit per line.
    Ask Request(uint32_t lines, uint64_t nowMs);
    // The painting thread, as a paint begins.
    void Painted(uint64_t nowMs);
    // The timer's wait from nowMs until the spacing after the last paint is over (at least 1).
    uint32_t ArmDelayMs(uint64_t nowMs) const;
    // The timer, or a paint that comes first: the kept lines, a bit per line, now to be asked;
    // the next kept line arms again.
    uint32_t TakeKept();
    bool HasKept() const { return kept_.load(std::memory_order_acquire) != 0; }

private:
    std::atomic<uint64_t> lastPaintMs_{0};
    std::atomic<uint32_t> kept_{0};
    std::atomic<bool> armed_{false};
};

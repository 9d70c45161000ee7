// The spacing is measured from the last paint, so a change after a quiet spell is asked at once.
#include "display/repaint_pacer.h"

RepaintPacer::Ask RepaintPacer::Request(uint32_t lines, uint64_t nowMs) {
    const uint64_t last = lastPaintMs_.load(std::memory_order_acquire);
    if (last == 0 || nowMs >= last + SpacingMs) return Ask::Now;
    kept_.fetch_or(lines, std::memory_order_acq_rel);
    // After the keep: a timer that takes the lines before this sees the bit, one that takes
    // them after has cleared the flag first, so this call arms a new one.
    return armed_.exchange(true, std::memory_order_acq_rel) ? Ask::Later : Ask::LaterAndArm;
}

void RepaintPacer::Painted(uint64_t nowMs) { lastPaintMs_.store(nowMs == 0 ? 1 : nowMs, std::memory_order_release); }

uint32_t RepaintPacer::ArmDelayMs(uint64_t nowMs) const {
    const uint64_t due = lastPaintMs_.load(std::memory_order_acquire) + SpacingMs;
    return nowMs >= due ? 1u : static_cast<uint32_t>(due - nowMs);
}

uint32_t RepaintPacer::TakeKept() {
    armed_.store(false, std::memory_order_release);
    return kept_.exchange(0, std::memory_order_acq_rel);
}

// A bit per line: set by the request that asks the platform, cleared by the paint that serves it.
#include "display/repaint_gate.h"

uint32_t RepaintGate::Request(uint32_t lines) {
    // Release: the paint that clears the bits reads the buffer after this change.
    return lines & ~pending_.fetch_or(lines, std::memory_order_acq_rel);
}

void RepaintGate::BeginServe() { pending_.exchange(0, std::memory_order_acq_rel); }

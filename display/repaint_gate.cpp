// A bit per line: set by the request that asks the platform, cleared by the paint that serves it.
#include "display/repaint_gate.h"

#include "protocol/screen.h"

namespace {
constexpr bool Known(int32_t line) { return line >= 0 && line < screen::Lines; }
}  // namespace

bool RepaintGate::Request(int32_t line) {
    if (!Known(line)) return true;
    const uint32_t bit = 1u << line;
    // Release: the paint that clears the bit reads the buffer after this change.
    return (pending_.fetch_or(bit, std::memory_order_acq_rel) & bit) == 0;
}

void RepaintGate::BeginServe() { pending_.exchange(0, std::memory_order_acq_rel); }

// Replaces the global allocator of a test binary with one that refuses every allocation on request.
#pragma once

namespace failing_allocator {
// Refuses every allocation (std::bad_alloc, or null for the nothrow forms) for its lifetime.
class Refusal {
public:
    Refusal();
    ~Refusal();
    Refusal(const Refusal&) = delete;
    Refusal& operator=(const Refusal&) = delete;
    // The allocations refused so far.
    int Refused() const;
};
}  // namespace failing_allocator

// Replaces the global allocator of a test binary with one that counts allocations on request.
#pragma once

namespace counting_allocator {
void Start();
// The number of allocations since Start.
int Stop();
}  // namespace counting_allocator

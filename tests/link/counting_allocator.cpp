// The counting global allocator; in a file of its own so that the replaced operators are never
// inlined into their callers.
#include "tests/link/counting_allocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> g_counting{false};
std::atomic<int> g_allocations{0};
}  // namespace

void* operator new(std::size_t size) {
    if (g_counting.load()) g_allocations.fetch_add(1);
    void* p = std::malloc(size ? size : 1);
    if (!p) std::abort();
    return p;
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace counting_allocator {
void Start() {
    g_allocations.store(0);
    g_counting.store(true);
}

int Stop() {
    g_counting.store(false);
    return g_allocations.load();
}
}  // namespace counting_allocator

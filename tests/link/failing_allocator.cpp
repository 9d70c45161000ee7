// The refusing global allocator; in a file of its own so that the replaced operators are never
// inlined into their callers. The nothrow forms of the library call these and return null.
#include "tests/link/failing_allocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> g_refusing{false};
std::atomic<int> g_refused{0};
}  // namespace

void* operator new(std::size_t size) {
    if (g_refusing.load()) {
        g_refused.fetch_add(1);
        throw std::bad_alloc();
    }
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    return p;
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace failing_allocator {
Refusal::Refusal() {
    g_refused.store(0);
    g_refusing.store(true);
}
Refusal::~Refusal() { g_refusing.store(false); }
int Refusal::Refused() const { return g_refused.load(); }
}  // namespace failing_allocator

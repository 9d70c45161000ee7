// The process's end status: kept apart from the services, which are gone before the process ends.
#include "support/end_status.h"

#include <atomic>

namespace {
std::atomic<int> g_status{end_status::Closed};
}  // namespace

void end_status::Mark(int status) {
    int expected = Closed;
    g_status.compare_exchange_strong(expected, status);
}

int end_status::Current() { return g_status.load(); }

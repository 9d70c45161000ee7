// Pipe server ends with the same buffer size as the substitute control application.
#include "bench/e2e/bench_peer_win.h"

#include <chrono>

#include "link/pipe_server_win.h"

namespace {
constexpr DWORD kBufferSize = 65536;
using connect_logic::PipeAccess;

HANDLE MakeEnd(int device, PipeAccess side, DWORD access) {
    pipe_server::EndShape shape{access, kBufferSize, kBufferSize};
    shape.overlapped = false;
    return pipe_server::Create(pipe_server::LocalName(side, device).c_str(), shape);
}

bool Connect(HANDLE pipe) { return pipe_server::Listen(pipe, nullptr) == pipe_server::Listening::Connected; }
}  // namespace

bool OpenClientEnds(int device, HANDLE* read, HANDLE* write) {
    *read = CreateFileA(pipe_server::LocalName(PipeAccess::Read, device).c_str(), GENERIC_READ, 0, nullptr,
                        OPEN_EXISTING, 0, nullptr);
    *write = CreateFileA(pipe_server::LocalName(PipeAccess::Write, device).c_str(), GENERIC_WRITE, 0, nullptr,
                         OPEN_EXISTING, 0, nullptr);
    return *read != INVALID_HANDLE_VALUE && *write != INVALID_HANDLE_VALUE;
}

namespace bench_clock {
int64_t Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double Ms(int64_t ticks) {
    static const double perMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    return static_cast<double>(ticks) / perMs;
}
}  // namespace bench_clock

BenchPeer::BenchPeer(int device)
    : display_(MakeEnd(device, PipeAccess::Read, PIPE_ACCESS_OUTBOUND)),
      commands_(MakeEnd(device, PipeAccess::Write, PIPE_ACCESS_INBOUND)) {}

BenchPeer::~BenchPeer() {
    Vanish();
    if (receiver_) {
        WaitForSingleObject(receiver_, 5000);
        CloseHandle(receiver_);
    }
}

bool BenchPeer::Accept() {
    if (!Ok() || !Connect(display_) || !Connect(commands_)) return false;
    receiver_ = CreateThread(nullptr, 0, &BenchPeer::ReceiveLoop, this, 0, nullptr);
    return receiver_ != nullptr;
}

bool BenchPeer::Write(const uint8_t* bytes, size_t count) {
    DWORD written = 0;
    return WriteFile(display_, bytes, static_cast<DWORD>(count), &written, nullptr) && written == count;
}

DWORD WINAPI BenchPeer::ReceiveLoop(void* context) {
    auto* self = static_cast<BenchPeer*>(context);
    char buf[4096];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(self->commands_, buf, sizeof buf, &n, nullptr)) break;
        const int64_t now = bench_clock::Now();
        std::lock_guard<std::mutex> guard(self->lock_);
        self->received_.append(buf, n);
        self->reachedAt_.resize(self->received_.size(), now);
        self->arrived_.notify_all();
    }
    return 0;
}

size_t BenchPeer::Received() const {
    std::lock_guard<std::mutex> guard(lock_);
    return received_.size();
}

std::string BenchPeer::ReceivedText() const {
    std::lock_guard<std::mutex> guard(lock_);
    return received_;
}

int64_t BenchPeer::WaitTotal(size_t count, DWORD timeoutMs) const {
    std::unique_lock<std::mutex> guard(lock_);
    if (!arrived_.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] { return received_.size() >= count; }))
        return 0;
    return count == 0 ? bench_clock::Now() : reachedAt_[count - 1];
}

void BenchPeer::Vanish() {
    // Closing the inbound end breaks the receiver's read.
    if (commands_ != INVALID_HANDLE_VALUE) {
        if (receiver_) CancelSynchronousIo(receiver_);
        CloseHandle(commands_);
    }
    if (display_ != INVALID_HANDLE_VALUE) CloseHandle(display_);
    display_ = commands_ = INVALID_HANDLE_VALUE;
}

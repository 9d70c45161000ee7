// quorvex-e2e drain|stamp DEVICE: the clients of the raw baselines, on the benchmark's own pipes.
#include "bench/e2e/e2e_pipe_ends_win.h"

#include <cstdlib>
#include <cstring>

#include "bench/e2e/e2e_session_win.h"
#include "link/stream_decoder.h"

namespace {
// Reads like the panel's reader (blocks of its size) and answers an identification request.
int Drain(int device) {
    HANDLE in, out;
    if (!OpenClientEnds(device, &in, &out)) return 2;
    uint8_t block[StreamDecoder::BlockSize];
    DWORD n = 0;
    while (ReadFile(in, block, sizeof block, &n, nullptr)) {
        if (std::memchr(block, kIdentify, n))
            WriteFile(out, kAnswer.data(), static_cast<DWORD>(kAnswer.size()), &n, nullptr);
    }
    return 0;
}

// The pipe's floor: every read answered with the performance counter's value just before the write.
int Stamp(int device) {
    HANDLE in, out;
    if (!OpenClientEnds(device, &in, &out)) return 2;
    uint8_t block[2048];
    DWORD n = 0;
    while (ReadFile(in, block, sizeof block, &n, nullptr)) {
        const int64_t now = bench_clock::Now();
        WriteFile(out, &now, sizeof now, &n, nullptr);
    }
    return 0;
}
}  // namespace

int RunDrain(int, char** argv) { return Drain(std::atoi(argv[2])); }
int RunStamp(int, char** argv) { return Stamp(std::atoi(argv[2])); }

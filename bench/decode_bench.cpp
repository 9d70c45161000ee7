// Throughput of decoding into the display at the reader's 2048-byte blocks, against a plain copy.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/streams.h"
#include "display/text_display.h"
#include "link/stream_decoder.h"

namespace {
constexpr size_t kStreamSize = 1 << 20;

class BenchOwner final : public DisplayOwner {
public:
    void LinesChanged(uint32_t lines) override { benchmark::DoNotOptimize(lines); }
    bool HasDisplayFont() const override { return true; }
    void OnControlExited() override {}
};

class NullWriter final : public ByteWriter {
public:
    int WriteBytes(const char* bytes, int32_t) override {
        benchmark::DoNotOptimize(bytes);
        return 1;
    }
};

void DecodeStream(benchmark::State& state, const std::vector<uint8_t>& stream) {
    BenchOwner owner;
    TextDisplay display;
    display.SetOwner(&owner);
    StreamDecoder decoder;
    NullWriter writer;
    for (auto _ : state) {
        for (size_t at = 0; at < stream.size(); at += StreamDecoder::BlockSize) {
            const size_t n = std::min<size_t>(StreamDecoder::BlockSize, stream.size() - at);
            decoder.Decode(stream.data() + at, static_cast<uint32_t>(n), display, writer);
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(stream.size()));
}

void BM_DecodeText(benchmark::State& state) {
    static const std::vector<uint8_t> stream = bench_streams::TextHeavy(kStreamSize);
    DecodeStream(state, stream);
}

void BM_DecodeMixed(benchmark::State& state) {
    static const std::vector<uint8_t> stream = bench_streams::FullScreens(kStreamSize);
    DecodeStream(state, stream);
}

void BM_DecodeControls(benchmark::State& state) {
    static const std::vector<uint8_t> stream = bench_streams::ControlHeavy(kStreamSize);
    DecodeStream(state, stream);
}

// What a read into the 2048-byte block costs by itself.
void BM_Memcpy(benchmark::State& state) {
    static const std::vector<uint8_t> stream = bench_streams::TextHeavy(kStreamSize);
    uint8_t block[StreamDecoder::BlockSize];
    for (auto _ : state) {
        for (size_t at = 0; at < stream.size(); at += sizeof block) {
            const size_t n = std::min<size_t>(sizeof block, stream.size() - at);
            std::memcpy(block, stream.data() + at, n);
            benchmark::DoNotOptimize(block);
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(stream.size()));
}
}  // namespace

BENCHMARK(BM_DecodeText);
BENCHMARK(BM_DecodeMixed);
BENCHMARK(BM_DecodeControls);
BENCHMARK(BM_Memcpy);
BENCHMARK_MAIN();

// The 128 KB scratch ring that hands out short-lived text pieces without allocating.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

class ScratchRing {
public:
    static constexpr int32_t AreaSize = 0x20000;
    static constexpr int32_t MaxPiece = 8192;

    enum class Result { Ok, NoArea, BadSize };

    // Allocates the area; a failed allocation leaves the ring without one.
    bool Create();
    void Destroy();
    bool HasArea() const { return area_ != nullptr; }

    // A piece of `size` bytes, or null with the reason. The piece stays intact only
    // until the ring comes round to it again. Safe to call from two threads at once:
    // each piece handed out lies wholly inside the area.
    char* Alloc(int32_t size, Result* result = nullptr);

    int32_t Offset() const { return offset_.load(std::memory_order_relaxed); }
    void SetOffsetForTest(int32_t offset) { offset_.store(offset, std::memory_order_relaxed); }
    const char* Area() const { return area_.get(); }

private:
    std::unique_ptr<char[]> area_;
    std::atomic<int32_t> offset_{0};
};

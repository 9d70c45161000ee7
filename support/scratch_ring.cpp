// Ring arithmetic of the scratch area: a piece never reaches the area's last byte.
#include "support/scratch_ring.h"

#include <new>

bool ScratchRing::Create() {
    area_.reset(new (std::nothrow) char[AreaSize]);
    offset_.store(0, std::memory_order_relaxed);
    return area_ != nullptr;
}

void ScratchRing::Destroy() {
    area_.reset();
    offset_.store(0, std::memory_order_relaxed);
}

char* ScratchRing::Alloc(int32_t size, Result* result) {
    Result r = Result::Ok;
    char* piece = nullptr;
    if (!area_) {
        r = Result::NoArea;
    } else if (size <= 0 || size > MaxPiece) {
        r = Result::BadSize;
    } else {
        // The reader thread's exit notice may allocate while the window thread does: the
        // start is settled on one value read, so a piece can never run past the area.
        int32_t start = offset_.load(std::memory_order_relaxed);
        int32_t next;
        do {
            next = static_cast<int64_t>(start) + size >= AreaSize ? 0 : start;
        } while (!offset_.compare_exchange_weak(start, next + size, std::memory_order_relaxed));
        piece = area_.get() + next;
    }
    if (result) *result = r;
    return piece;
}

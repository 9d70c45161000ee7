// Ring arithmetic of the scratch area: a piece never reaches the area's last byte.
#include "support/scratch_ring.h"

#include <new>

bool ScratchRing::Create() {
    area_.reset(new (std::nothrow) char[AreaSize]);
    offset_ = 0;
    return area_ != nullptr;
}

void ScratchRing::Destroy() {
    area_.reset();
    offset_ = 0;
}

char* ScratchRing::Alloc(int32_t size, Result* result) {
    Result r = Result::Ok;
    char* piece = nullptr;
    if (!area_) {
        r = Result::NoArea;
    } else if (size <= 0 || size > MaxPiece) {
        r = Result::BadSize;
    } else {
        if (static_cast<int64_t>(offset_) + size >= AreaSize) offset_ = 0;
        piece = area_.get() + offset_;
        offset_ += size;
    }
    if (result) *result = r;
    return piece;
}

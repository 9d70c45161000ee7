// Nesting count of busy stretches and the cursor change each step asks for.
#pragma once
#include <cstdint>

class BusyCount {
public:
    enum class Change { None, Hourglass, Arrow };

    // Every entry asks for the hourglass, at every nesting level.
    Change Enter();
    // The last matching leave asks for the arrow; a leave without a busy stretch changes nothing.
    Change Leave();
    bool Busy() const { return count_ > 0; }
    int32_t Count() const { return count_; }

private:
    int32_t count_ = 0;
};

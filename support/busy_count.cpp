// Busy nesting: only the window thread enters and leaves busy stretches, so no lock.
#include "support/busy_count.h"

BusyCount::Change BusyCount::Enter() {
    ++count_;
    return Change::Hourglass;
}

BusyCount::Change BusyCount::Leave() {
    if (count_ <= 0) return Change::None;
    --count_;
    return count_ == 0 ? Change::Arrow : Change::None;
}

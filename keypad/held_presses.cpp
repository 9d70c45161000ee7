// The held-press rule: one ticket per source (computer key or panel key) names the last command
// its press made.
#include "keypad/held_presses.h"

bool HeldPresses::AdmitClick(int32_t keyId, uint32_t press, const Road& road) {
    if (!KeyTable::IsKey(keyId)) return true;
    const int32_t i = KeyTable::Index(keyId);
    const bool samePress = press != 0 && press == press_[i];
    press_[i] = press;
    return Admit(kVirtualKeys + static_cast<uint32_t>(i), samePress, road);
}

bool HeldPresses::AdmitKeyDown(uint32_t virtualKey, bool repeat, const Road& road) {
    return Admit(virtualKey % kVirtualKeys, repeat, road);
}

bool HeldPresses::Admit(uint32_t source, bool samePress, const Road& road) {
    if (samePress && last_[source] != NoTicket && road.Waits(last_[source])) return false;
    if (!samePress) last_[source] = NoTicket;
    acting_ = source;
    return true;
}

void HeldPresses::Made(uint64_t ticket) {
    if (acting_ != kNoSource && ticket != NoTicket) last_[acting_] = ticket;
}

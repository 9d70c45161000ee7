// Latch keys without windows: outside a click in progress the look equals the latched flag.
#include "keypad/latch_keys.h"

#include "protocol/key_table.h"

LatchKeys::Key* LatchKeys::Find(int32_t keyId) {
    if (keyId == KeyId::Fast) return &keys_[0];
    if (keyId == KeyId::Slow) return &keys_[1];
    return nullptr;
}

bool LatchKeys::ShowsPushed(int32_t keyId) const {
    if (keyId == KeyId::Fast) return keys_[0].pushed;
    if (keyId == KeyId::Slow) return keys_[1].pushed;
    return false;
}

void LatchKeys::ToggleLatch(int32_t keyId) {
    if (Key* k = Find(keyId)) k->pushed = k->latched = !k->latched;
}

void LatchKeys::ReleaseLatch(int32_t keyId) {
    if (Key* k = Find(keyId)) k->pushed = k->latched = false;
}

bool LatchKeys::BeginClick(int32_t keyId) {
    Key* k = Find(keyId);
    if (!k) return false;
    k->latched = !k->latched;
    k->pushed = false;
    return k->latched;
}

void LatchKeys::EndClick(int32_t keyId) {
    if (Key* k = Find(keyId)) k->pushed = k->latched;
}

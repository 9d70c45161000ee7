// The binding tables and the roads through the FAST and SLOW latches.
#include "keypad/key_bindings.h"

#include "protocol/key_table.h"

namespace {
using namespace panel_command;
using key_action::Byte;
using key_action::Just;

// The byte of the command row a computer key writes as it stands, past the latches and the speed.
constexpr char LeadOf(CommandKind kind, int32_t value = 0, int32_t speed = 0) {
    return commands::ForCommand(kind, value, speed)->bytes[0];
}

// The computer keys that stand for no panel key.
struct VirtualKeyBinding {
    uint32_t virtualKey;
    KeyAction action;
};
constexpr VirtualKeyBinding kOtherVirtualKeys[] = {
    {virtual_key::Shift, Just(KeyActionKind::ToggleFast)},
    {virtual_key::Control, Just(KeyActionKind::ToggleSlow)},
    {'A', Byte(LeadOf(CommandKind::CursorLeft))},
    {'B', Byte(LeadOf(CommandKind::LineDown))},
    {'C', Byte(LeadOf(CommandKind::Fast))},
    {'D', Byte(LeadOf(CommandKind::Slow))},
    {'E', Byte(LeadOf(CommandKind::Adjust, 1, panel_command::Normal))},
    {'F', Byte(LeadOf(CommandKind::Adjust, -1, panel_command::Normal))},
    {'Q', Just(KeyActionKind::BranchTo)},
};

// A latch key's action: the other latch is released; a byte goes out only when this key
// does not show pushed afterwards.
struct LatchRoad {
    int32_t key;
    int32_t other;
    char byte;
};
constexpr LatchRoad kFastRoad = {KeyId::Fast, KeyId::Slow, commands::ByteOfKey(KeyId::Fast)};
constexpr LatchRoad kSlowRoad = {KeyId::Slow, KeyId::Fast, commands::ByteOfKey(KeyId::Slow)};

void Latch(const LatchRoad& road, KeypadPort& port) {
    port.ReleaseLatch(road.other);
    if (!port.ShowsPushed(road.key)) port.WriteBytes(&road.byte, 1);
}
}  // namespace

KeyAction ActionForKey(int32_t keyId) {
    return KeyTable::IsKey(keyId) ? KeyTable::Row(keyId).action : Just(KeyActionKind::None);
}

KeyAction ActionForVirtualKey(uint32_t virtualKey) {
    if (virtualKey == 0) return Just(KeyActionKind::None);
    for (const KeyRow& key : KeyTable::Rows)
        for (uint32_t bound : key.computerKeys)
            if (bound == virtualKey) return key.action;
    for (const VirtualKeyBinding& b : kOtherVirtualKeys)
        if (b.virtualKey == virtualKey) return b.action;
    return Just(KeyActionKind::None);
}

int32_t AdjustSpeed(bool slowPushed, bool fastPushed) {
    if (slowPushed) return Slow;
    return fastPushed ? Fast : Normal;
}

void PerformKeyAction(const KeyAction& action, KeypadPort& port) {
    switch (action.kind) {
        case KeyActionKind::None:
            return;
        case KeyActionKind::Command:
            port.SendCommand(action.command);
            return;
        case KeyActionKind::Adjust: {
            // SLOW is asked first and FAST only when SLOW does not show pushed.
            const bool slow = port.ShowsPushed(KeyId::Slow);
            const int32_t speed = AdjustSpeed(slow, !slow && port.ShowsPushed(KeyId::Fast));
            port.SendCommand({panel_command::Adjust, action.command.argument, speed});
            return;
        }
        case KeyActionKind::Byte:
            port.WriteBytes(&action.byte, 1);
            return;
        case KeyActionKind::Fast:
            Latch(kFastRoad, port);
            return;
        case KeyActionKind::Slow:
            Latch(kSlowRoad, port);
            return;
        case KeyActionKind::ToggleFast:
            port.ToggleLatch(KeyId::Fast);
            Latch(kFastRoad, port);
            return;
        case KeyActionKind::ToggleSlow:
            port.ToggleLatch(KeyId::Slow);
            Latch(kSlowRoad, port);
            return;
        case KeyActionKind::BranchTo:
            port.OpenBranchTo();
            return;
    }
}

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

// The computer keys whose action is not a panel key's click; key: the panel key it works
// otherwise (0: none), whose mode says how its auto-repeat counts.
struct VirtualKeyBinding {
    uint32_t virtualKey;
    KeyAction action;
    int32_t key;
};
constexpr VirtualKeyBinding kOtherVirtualKeys[] = {
    {virtual_key::Shift, Just(KeyActionKind::ToggleFast), KeyId::Fast},
    {virtual_key::Control, Just(KeyActionKind::ToggleSlow), KeyId::Slow},
    {'A', Byte(LeadOf(CommandKind::CursorLeft)), 0},
    {'B', Byte(LeadOf(CommandKind::LineDown)), 0},
    {'C', Byte(LeadOf(CommandKind::Fast)), 0},
    {'D', Byte(LeadOf(CommandKind::Slow)), 0},
    {'E', Byte(LeadOf(CommandKind::Adjust, 1, panel_command::Normal)), 0},
    {'F', Byte(LeadOf(CommandKind::Adjust, -1, panel_command::Normal)), 0},
    {'Q', Just(KeyActionKind::BranchTo), 0},
};

struct Bound {
    KeyAction action;
    int32_t key;  // 0: none
};

Bound BindingOf(uint32_t virtualKey) {
    if (virtualKey == 0) return {Just(KeyActionKind::None), 0};
    for (const KeyRow& key : KeyTable::Rows)
        for (uint32_t bound : key.computerKeys)
            if (bound == virtualKey) return {KeyTable::Action(key.id), key.id};
    for (const VirtualKeyBinding& b : kOtherVirtualKeys)
        if (b.virtualKey == virtualKey) return {b.action, b.key};
    return {Just(KeyActionKind::None), 0};
}

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
    return KeyTable::Action(keyId);
}

KeyAction ActionForVirtualKey(uint32_t virtualKey) { return BindingOf(virtualKey).action; }

KeyAction ActionForKeyDown(uint32_t virtualKey, bool repeat) {
    const Bound b = BindingOf(virtualKey);
    // A held latch key is still one press, as with the mouse: its repeats would flicker it.
    if (repeat && b.key != 0 && KeyTable::Mode(b.key) == KeyTable::Latch) return Just(KeyActionKind::None);
    return b.action;
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

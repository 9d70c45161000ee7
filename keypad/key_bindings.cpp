// The binding tables and the roads through the FAST and SLOW latches.
#include "keypad/key_bindings.h"

#include "keypad/key_table.h"

namespace {
using namespace panel_command;

constexpr KeyAction Command(int32_t type, int32_t argument) { return {KeyActionKind::Command, {type, argument, 0}, 0}; }
constexpr KeyAction Adjust(int32_t direction) { return {KeyActionKind::Adjust, {panel_command::Adjust, direction, 0}, 0}; }
constexpr KeyAction Byte(char b) { return {KeyActionKind::Byte, {0, 0, 0}, b}; }
constexpr KeyAction Just(KeyActionKind kind) { return {kind, {0, 0, 0}, 0}; }

constexpr KeyAction kKeyActions[KeyTable::Count] = {
    Command(ScrollLine, LineUp), Command(ScrollLine, LineDown), Command(CursorKey, Right),
    Command(CursorKey, Left),    Command(CursorKey, Up),        Command(CursorKey, Down),
    Adjust(AdjustUp),            Adjust(AdjustDown),            Just(KeyActionKind::Fast),
    Just(KeyActionKind::Slow),   Byte('0'),                     Byte('1'),
    Byte('2'),                   Byte('3'),                     Byte('4'),
    Byte('5'),                   Byte('6'),                     Byte('7'),
    Byte('8'),                   Byte('9'),                     Byte('-'),
    Byte('.'),                   Byte(':'),                     Byte('\n'),
    Command(ExitKey, 0),
};

constexpr KeyAction AsKey(int32_t id) { return kKeyActions[KeyTable::Index(id)]; }

struct VirtualKeyBinding {
    uint32_t virtualKey;
    KeyAction action;
};

namespace vk = virtual_key;
constexpr VirtualKeyBinding kVirtualKeys[] = {
    {vk::Back, AsKey(2003)},       {vk::Left, AsKey(2003)},      {vk::Up, AsKey(2004)},
    {vk::Right, AsKey(2002)},      {vk::Down, AsKey(2005)},      {vk::Prior, AsKey(2000)},
    {vk::Next, AsKey(2001)},       {vk::Insert, AsKey(2006)},    {'P', AsKey(2006)},
    {vk::Delete, AsKey(2007)},     {'M', AsKey(2007)},           {vk::Shift, Just(KeyActionKind::ToggleFast)},
    {vk::Control, Just(KeyActionKind::ToggleSlow)},              {vk::Escape, AsKey(2024)},
    {vk::Return, AsKey(2023)},     {vk::Subtract, AsKey(2020)},  {vk::OemMinus, AsKey(2020)},
    {vk::Decimal, AsKey(2021)},    {vk::OemPeriod, AsKey(2021)}, {vk::Oem1, AsKey(2022)},
    {'A', Byte('H')},              {'B', Byte('O')},             {'C', Byte('B')},
    {'D', Byte('C')},              {'E', Byte('A')},             {'F', Byte('S')},
    {'Q', Just(KeyActionKind::BranchTo)},
};

// A latch key's action: the other latch is released; a byte goes out only when this key
// does not show pushed afterwards.
struct LatchRoad {
    int32_t key;
    int32_t other;
    char byte;
};
constexpr LatchRoad kFastRoad = {KeyTable::FastId, KeyTable::SlowId, 'B'};
constexpr LatchRoad kSlowRoad = {KeyTable::SlowId, KeyTable::FastId, 'C'};

void Latch(const LatchRoad& road, KeypadPort& port) {
    port.ReleaseLatch(road.other);
    if (!port.ShowsPushed(road.key)) port.WriteBytes(&road.byte, 1);
}
}  // namespace

KeyAction ActionForKey(int32_t keyId) {
    return KeyTable::IsKey(keyId) ? kKeyActions[KeyTable::Index(keyId)] : Just(KeyActionKind::None);
}

KeyAction ActionForVirtualKey(uint32_t virtualKey) {
    if (virtualKey >= '0' && virtualKey <= '9') return AsKey(2010 + static_cast<int32_t>(virtualKey - '0'));
    if (virtualKey >= vk::Numpad0 && virtualKey <= vk::Numpad0 + 9)
        return AsKey(2010 + static_cast<int32_t>(virtualKey - vk::Numpad0));
    for (const VirtualKeyBinding& b : kVirtualKeys)
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
            const bool slow = port.ShowsPushed(KeyTable::SlowId);
            const int32_t speed = AdjustSpeed(slow, !slow && port.ShowsPushed(KeyTable::FastId));
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
            port.ToggleLatch(KeyTable::FastId);
            Latch(kFastRoad, port);
            return;
        case KeyActionKind::ToggleSlow:
            port.ToggleLatch(KeyTable::SlowId);
            Latch(kSlowRoad, port);
            return;
        case KeyActionKind::BranchTo:
            port.OpenBranchTo();
            return;
    }
}

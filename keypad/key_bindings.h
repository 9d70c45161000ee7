// What every key and every bound computer key does: key id or virtual key in, action out, and
// the ADJUST speed and FAST/SLOW latch roads, performed through a small port so that the
// window, tools and tests share them.
#pragma once
#include <cstdint>

#include "link/panel_command.h"

enum class KeyActionKind : uint8_t {
    None,
    Command,     // SendCommand of `command`
    Adjust,      // SendCommand Adjust with `command.argument` at the current speed
    Byte,        // WriteBytes of `byte`
    Fast,        // the FAST action
    Slow,        // the SLOW action
    ToggleFast,  // ToggleLatch on FAST, then the FAST action
    ToggleSlow,  // ToggleLatch on SLOW, then the SLOW action
    BranchTo,    // the Branch To dialog
};

struct KeyAction {
    KeyActionKind kind;
    PanelCommand command;
    char byte;
};

// Virtual-key codes the bindings read (the platform's values).
namespace virtual_key {
constexpr uint32_t Back = 8, Return = 13, Shift = 16, Control = 17, Escape = 27;
constexpr uint32_t Prior = 33, Next = 34, Left = 37, Up = 38, Right = 39, Down = 40;
constexpr uint32_t Insert = 45, Delete = 46, Numpad0 = 96, Subtract = 109, Decimal = 110;
constexpr uint32_t Oem1 = 186, OemMinus = 189, OemPeriod = 190, F1 = 112;
}  // namespace virtual_key

// The action of a click (or double click) of the key; None for an id that names no key.
KeyAction ActionForKey(int32_t keyId);
// The action of a key-down of the computer keyboard; None for an unlisted key.
KeyAction ActionForVirtualKey(uint32_t virtualKey);
// The ADJUST speed from the two latch keys' pushed looks: SLOW wins, then FAST, else normal.
int32_t AdjustSpeed(bool slowPushed, bool fastPushed);

// What the bindings need of the keys and the link.
class KeypadPort {
public:
    virtual bool ShowsPushed(int32_t keyId) = 0;
    virtual void ToggleLatch(int32_t keyId) = 0;
    virtual void ReleaseLatch(int32_t keyId) = 0;
    virtual int32_t SendCommand(const PanelCommand& command) = 0;
    virtual int WriteBytes(const char* bytes, int32_t count) = 0;
    virtual void OpenBranchTo() = 0;

protected:
    ~KeypadPort() = default;
};

void PerformKeyAction(const KeyAction& action, KeypadPort& port);

// What every key and every bound computer key does: key id or virtual key in, action out, and
// the ADJUST speed and FAST/SLOW latch roads, performed through a small port so that the
// window, tools and tests share them.
#pragma once
#include <cstdint>

#include "protocol/panel_command.h"
#include "protocol/key_table.h"

// The action of a click (or double click) of the key; None for an id that names no key.
KeyAction ActionForKey(int32_t keyId);
// The action of a key-down of the computer keyboard; None for an unlisted key.
KeyAction ActionForVirtualKey(uint32_t virtualKey);
// The same for a key-down that may be an auto-repeat (the key was down already): a computer key
// repeats as the panel key it works, so Shift and Ctrl (FAST and SLOW, latches) do nothing then.
KeyAction ActionForKeyDown(uint32_t virtualKey, bool repeat);
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

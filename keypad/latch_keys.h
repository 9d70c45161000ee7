// The FAST and SLOW keys without windows: latched flags and pushed looks that follow the key
// control's rules, for tools that play the panel and for tests of the latch roads.
#pragma once
#include <cstdint>

class LatchKeys {
public:
    bool ShowsPushed(int32_t keyId) const;
    void ToggleLatch(int32_t keyId);
    void ReleaseLatch(int32_t keyId);

    // A mouse click released on a latch key, in two steps as the key control makes it. The
    // release toggles the latch and the base button clears the pushed look; it reports the
    // click (true) only when the key showed pushed, that is when the click latched it. The
    // report is handled between the two steps, while the key does not show pushed.
    bool BeginClick(int32_t keyId);
    // The focus moves to the main window: the look follows the latched flag again.
    void EndClick(int32_t keyId);

private:
    struct Key {
        bool latched;
        bool pushed;
    };
    Key* Find(int32_t keyId);
    Key keys_[2] = {{false, false}, {false, false}};
};

// Which press each key input belongs to, and whether a held press may act again: a key's
// auto-repeat tick, the release click of that same press and an auto-repeated key-down do
// nothing while a command made by that press still waits for the control, so that a key held
// against a control that does not read leaves no burst of stale repeats. A new press always acts.
#pragma once
#include <cstdint>

#include "protocol/key_table.h"

class HeldPresses {
public:
    static constexpr uint64_t NoTicket = ~uint64_t{0};

    HeldPresses() {
        for (uint64_t& t : last_) t = NoTicket;
    }

    // What the presses need of the outbound road.
    class Road {
    public:
        // The command of this ticket has not been taken whole by the control yet.
        virtual bool Waits(uint64_t ticket) const = 0;

    protected:
        ~Road() = default;
    };

    // A click of a panel key; press numbers the mouse press held on the key that it comes from
    // (a tick or the release), 0 for a click of its own. True: perform its action.
    bool AdmitClick(int32_t keyId, uint32_t press, const Road& road);
    // A key-down of the computer keyboard; repeat: the key was down already (an auto-repeat).
    bool AdmitKeyDown(uint32_t virtualKey, bool repeat, const Road& road);
    // The input admitted last made a command with this ticket (NoTicket: nothing was queued).
    void Made(uint64_t ticket);
    // Its action is over: commands made from now on belong to no press.
    void Done() { acting_ = kNoSource; }

private:
    static constexpr uint32_t kVirtualKeys = 256;
    static constexpr uint32_t kSources = kVirtualKeys + KeyTable::Count;
    static constexpr uint32_t kNoSource = kSources;

    bool Admit(uint32_t source, bool samePress, const Road& road);

    uint64_t last_[kSources];               // each source's press: the ticket of its last command
    uint32_t press_[KeyTable::Count] = {};  // the mouse press each key's last click came from
    uint32_t acting_ = kNoSource;
};

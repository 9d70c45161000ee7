// A station that stays open: the option that asks for it, how often a waiting panel probes,
// which start-up failures it waits through, and what each happening does in each of its states.
#pragma once
#include <cstdint>

#include "link/connect_logic.h"

namespace station {

constexpr uint32_t ProbeIntervalMs = 2000;

// True when an argument after the program's path is "-w" or "-W". It goes after the target
// (-l, -r NAME); first, it is no target, so the Connect To dialog asks for one as for any other.
bool Requested(connect_logic::ConnectPlatform& platform);

// What a station does when the connection step at start-up returns this text id.
enum class StartFailure : uint8_t { Fatal, Wait, WaitRefused };
StartFailure AfterStartFailure(unsigned textId);

enum class State : uint8_t { Connected, Waiting, Probing, AskingAccess, AccessRefused };

enum class Event : uint8_t {
    ControlGone,     // its exit notice, a lost read or write, or nothing found at start-up
    Tick,            // the probe interval passed
    Found,           // a probe found the control and its session runs
    NotFound,        // a probe found nothing (or the network cannot reach the computer)
    AccessNeeded,    // the operator's own rights were refused, for the first time since the loss
    AccessGranted,   // the operator typed what gave access
    AccessRefused,   // cancelled, or refused again after asking once
    DisplayClicked,  // the operator clicked the display
};

enum class Action : uint8_t {
    None,
    Wait,         // close the link, show the waiting state, probe at once
    WaitRefused,  // the same, saying that access was refused, without a probe
    Probe,
    Resume,       // leave the waiting state: the control is back
    AskAccess,    // Enter Network Password, once
    ShowRefused,  // say that access was refused; probe again only after a click
};

struct Step {
    State next;
    Action action;
};

// A happening that a state does not expect leaves it as it is, with nothing done (a loss posted
// by a session already closed, a tick while a probe runs or a dialog is open).
Step Next(State state, Event event);

}  // namespace station

// The station's option, its start-up failures and its transitions, as tables.
#include "link/station_rules.h"

#include <cstring>

#include "support/text_ids.h"

namespace station {
namespace {

constexpr const char* kOptions[] = {"-w", "-W"};

struct FailureRule {
    unsigned textId;
    StartFailure then;
};

// Everything a control that is not there yet can cause; the operator's own choices (Connect To
// cancelled, a refused name) stay fatal.
constexpr FailureRule kFailureRules[] = {
    {text_id::NoPipeDevice, StartFailure::Wait},
    {text_id::ReadAccessDenied, StartFailure::Wait},
    {text_id::WriteAccessDenied, StartFailure::Wait},
    {text_id::CannotCreateObject, StartFailure::Wait},
    {text_id::RemoteAccessDenied, StartFailure::WaitRefused},
};

struct Transition {
    State from;
    Event event;
    State next;
    Action action;
};

constexpr Transition kTransitions[] = {
    {State::Connected, Event::ControlGone, State::Probing, Action::Wait},
    {State::Connected, Event::AccessRefused, State::AccessRefused, Action::WaitRefused},
    {State::Waiting, Event::Tick, State::Probing, Action::Probe},
    {State::Probing, Event::Found, State::Connected, Action::Resume},
    {State::Probing, Event::NotFound, State::Waiting, Action::None},
    {State::Probing, Event::AccessNeeded, State::AskingAccess, Action::AskAccess},
    {State::Probing, Event::AccessRefused, State::AccessRefused, Action::ShowRefused},
    {State::AskingAccess, Event::AccessGranted, State::Probing, Action::Probe},
    {State::AskingAccess, Event::AccessRefused, State::AccessRefused, Action::ShowRefused},
    {State::AccessRefused, Event::DisplayClicked, State::Probing, Action::Probe},
};

}  // namespace

bool Requested(connect_logic::ConnectPlatform& platform) {
    const int count = platform.GetArgCount();
    for (int i = 1; i < count; ++i) {
        const char* arg = platform.GetArg(i);
        for (const char* option : kOptions)
            if (arg && std::strcmp(arg, option) == 0) return true;
    }
    return false;
}

StartFailure AfterStartFailure(unsigned textId) {
    for (const FailureRule& rule : kFailureRules)
        if (rule.textId == textId) return rule.then;
    return StartFailure::Fatal;
}

Step Next(State state, Event event) {
    for (const Transition& t : kTransitions)
        if (t.from == state && t.event == event) return {t.next, t.action};
    return {state, Action::None};
}

}  // namespace station

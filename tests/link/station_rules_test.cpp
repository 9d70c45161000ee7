// A station's rules without a window: the option on the command line, the start-up failures it
// waits through, and its transitions, including the happenings a state must ignore.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/station_rules.h"
#include "tests/link/connect_fake_platform.h"

namespace {
using station::Action;
using station::Event;
using station::State;

TEST(StationRules, TheOptionComesAfterTheProgramAnywhere) {
    struct Case {
        std::vector<std::string> args;
        bool requested;
    };
    const Case cases[] = {
        {{}, false},
        {{"-l"}, false},
        {{"-l", "-w"}, true},
        {{"-L", "-W"}, true},
        {{"-r", "PLANT", "-w"}, true},
        {{"-w"}, true},
        {{"-x", "-w"}, true},
        {{"-l", "-wx"}, false},
        {{"-l", "w"}, false},
        {{"-l", "/w"}, false},
        {{"-l", ""}, false},
    };
    for (const Case& c : cases) {
        FakeConnectPlatform platform;
        platform.args.insert(platform.args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(station::Requested(platform), c.requested) << c.args.size() << " arguments";
        EXPECT_EQ(platform.Count("usage error"), 0u);
    }
}

TEST(StationRules, StartUpFailuresOfAnAbsentControlAreWaitedThrough) {
    struct Case {
        unsigned textId;
        station::StartFailure then;
    };
    const Case cases[] = {
        {text_id::NoPipeDevice, station::StartFailure::Wait},
        {text_id::ReadAccessDenied, station::StartFailure::Wait},
        {text_id::WriteAccessDenied, station::StartFailure::Wait},
        {text_id::CannotCreateObject, station::StartFailure::Wait},
        {text_id::RemoteAccessDenied, station::StartFailure::WaitRefused},
        {text_id::NoSelection, station::StartFailure::Fatal},
        {text_id::UnexpectedState, station::StartFailure::Fatal},
        {0, station::StartFailure::Fatal},
    };
    for (const Case& c : cases) EXPECT_EQ(station::AfterStartFailure(c.textId), c.then) << c.textId;
}

struct Move {
    Event event;
    State next;
    Action action;
};

TEST(StationRules, EveryRoadOutOfWaitingAndBack) {
    struct Road {
        const char* name;
        State start;
        std::vector<Move> moves;
    };
    const Road roads[] = {
        {"lost, nothing found, found at the next tick", State::Connected,
         {{Event::ControlGone, State::Probing, Action::Wait},
          {Event::NotFound, State::Waiting, Action::None},
          {Event::Tick, State::Probing, Action::Probe},
          {Event::Found, State::Connected, Action::Resume}}},
        {"found by the first probe", State::Connected,
         {{Event::ControlGone, State::Probing, Action::Wait}, {Event::Found, State::Connected, Action::Resume}}},
        {"late losses of a closed session and ticks during a probe change nothing", State::Connected,
         {{Event::ControlGone, State::Probing, Action::Wait},
          {Event::ControlGone, State::Probing, Action::None},
          {Event::Tick, State::Probing, Action::None},
          {Event::NotFound, State::Waiting, Action::None},
          {Event::ControlGone, State::Waiting, Action::None},
          {Event::DisplayClicked, State::Waiting, Action::None}}},
        {"access asked once, granted", State::Probing,
         {{Event::AccessNeeded, State::AskingAccess, Action::AskAccess},
          {Event::Tick, State::AskingAccess, Action::None},
          {Event::AccessGranted, State::Probing, Action::Probe},
          {Event::Found, State::Connected, Action::Resume}}},
        {"access cancelled: nothing until a click", State::Probing,
         {{Event::AccessNeeded, State::AskingAccess, Action::AskAccess},
          {Event::AccessRefused, State::AccessRefused, Action::ShowRefused},
          {Event::Tick, State::AccessRefused, Action::None},
          {Event::ControlGone, State::AccessRefused, Action::None},
          {Event::DisplayClicked, State::Probing, Action::Probe},
          {Event::AccessNeeded, State::AskingAccess, Action::AskAccess}}},
        {"refused again after asking", State::Probing,
         {{Event::AccessRefused, State::AccessRefused, Action::ShowRefused}}},
        {"refused at start-up", State::Connected,
         {{Event::AccessRefused, State::AccessRefused, Action::WaitRefused},
          {Event::DisplayClicked, State::Probing, Action::Probe}}},
        {"a connected panel ignores what only a waiting one expects", State::Connected,
         {{Event::Tick, State::Connected, Action::None},
          {Event::Found, State::Connected, Action::None},
          {Event::NotFound, State::Connected, Action::None},
          {Event::DisplayClicked, State::Connected, Action::None},
          {Event::AccessGranted, State::Connected, Action::None}}},
    };
    for (const Road& road : roads) {
        State state = road.start;
        for (size_t i = 0; i < road.moves.size(); ++i) {
            const station::Step step = station::Next(state, road.moves[i].event);
            EXPECT_EQ(step.next, road.moves[i].next) << road.name << ", move " << i;
            EXPECT_EQ(step.action, road.moves[i].action) << road.name << ", move " << i;
            state = step.next;
        }
    }
}
}  // namespace

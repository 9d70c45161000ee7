// The station's actions on the window thread: the timer, the probes' outcomes, the one
// password dialog per loss, and the click that lets it ask again.
#include "app/station_win.h"

#include "support/text_ids.h"

void Station::Enable(HWND window, ControlLink* link, int* connectedLocally) {
    hwnd_ = window;
    link_ = link;
    connectedLocally_ = connectedLocally;
    active_ = link != nullptr;
    // No fatal box for a command that meets the lost control: the station waits instead.
    if (link_) link_->UseLostControlReporter(&lossPoster_);
}

bool Station::TakeOverStartFailure(unsigned textId) {
    if (!active_) return false;
    const station::StartFailure then = station::AfterStartFailure(textId);
    if (then == station::StartFailure::Fatal) return false;
    // The title and pane 1 name the target the station waits for.
    link_->ShowTarget();
    // At start-up the password dialog was shown already when access was refused.
    Fire(then == station::StartFailure::WaitRefused ? station::Event::AccessRefused : station::Event::ControlGone);
    return true;
}

void Station::OnTimer() {
    if (probe_ && probe_->Stranded()) {
        OnProbeDone(reinterpret_cast<LPARAM>(probe_));
        return;
    }
    Fire(station::Event::Tick);
}

void Station::OnProbeDone(LPARAM probe) {
    // Only the probe under way: nothing else is ever posted with this message.
    if (!probe_ || probe != reinterpret_cast<LPARAM>(probe_)) return;
    StationProbe::Outcome found = probe_->Take();
    probe_ = nullptr;
    const bool refused = found.textId == text_id::RemoteAccessDenied && found.accessNeedsOperator;
    // Adopt also keeps a network connection the probe made, found or not.
    if (link_->Adopt(found, connectedLocally_)) {
        Fire(station::Event::Found);
    } else if (refused) {
        Fire(asked_ ? station::Event::AccessRefused : station::Event::AccessNeeded);
    } else {
        Fire(station::Event::NotFound);
    }
}

bool Station::OnDisplayClick() {
    if (!Waiting() || state_ != station::State::AccessRefused) return false;
    asked_ = false;
    window_.ShowWaitingPane(false);
    Fire(station::Event::DisplayClicked);
    return true;
}

void Station::Stop() {
    stopped_ = true;
    if (hwnd_) KillTimer(hwnd_, TimerId);
    if (probe_) probe_->Abandon();
    probe_ = nullptr;
}

void Station::Fire(station::Event event) {
    if (!active_ || stopped_) return;
    const station::Step step = station::Next(state_, event);
    state_ = step.next;
    Perform(step.action);
}

void Station::Perform(station::Action action) {
    switch (action) {
    case station::Action::None:
        return;
    case station::Action::Wait:
    case station::Action::WaitRefused: {
        const bool refused = action == station::Action::WaitRefused;
        asked_ = refused;
        window_.EnterWaiting(refused);
        SetTimer(hwnd_, TimerId, station::ProbeIntervalMs, nullptr);
        if (!refused) StartProbe();
        return;
    }
    case station::Action::Probe:
        StartProbe();
        return;
    case station::Action::Resume:
        KillTimer(hwnd_, TimerId);
        window_.LeaveWaiting();
        return;
    case station::Action::AskAccess: {
        asked_ = true;
        const bool granted = link_->AskNetworkAccess();
        // File, Exit inside the dialog: the window is gone and nothing more is done.
        Fire(granted ? station::Event::AccessGranted : station::Event::AccessRefused);
        return;
    }
    case station::Action::ShowRefused:
        window_.ShowWaitingPane(true);
        return;
    }
}

void Station::StartProbe() {
    probe_ = link_->StartProbe(ProbeDoneMessage);
    // Without a thread this probe found nothing; the next tick tries again.
    if (!probe_) Fire(station::Event::NotFound);
}

// A station that stays open (-w): it turns every loss of the control into waiting, probes the
// target every two seconds on a thread of its own, and takes the control back when it answers.
// Without the option it does nothing and the main window behaves as it always did.
#pragma once
#include <windows.h>

#include "link/control_link_win.h"
#include "link/station_rules.h"

// What the station needs of the main window.
class StationWindow {
public:
    // The control is gone: dialogs ended, link closed, display blanked with the waiting text,
    // keys refused; pane 2 says the panel waits, or that access was refused.
    virtual void EnterWaiting(bool accessRefused) = 0;
    // Pane 2: waiting, or access refused (until the operator's click).
    virtual void ShowWaitingPane(bool accessRefused) = 0;
    // The control is back and its session runs: the display shows it again, the greeting goes.
    virtual void LeaveWaiting() = 0;

protected:
    ~StationWindow() = default;
};

class Station {
public:
    // Posted by the reader thread's exit handling, which must not wait on the window thread.
    static constexpr UINT ControlGoneMessage = WM_APP + 3;
    // Posted by a probe when it is done; its LPARAM names the probe.
    static constexpr UINT ProbeDoneMessage = WM_APP + 4;
    static constexpr UINT_PTR TimerId = 3;

    explicit Station(StationWindow& window) : window_(window) {}
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // Before connecting: the window, its link and its connected-locally flag. Active from then on.
    void Enable(HWND window, ControlLink* link, int* connectedLocally);
    // Read by the reader thread too: set before the reader starts, never changed after.
    bool Active() const { return active_; }
    bool Waiting() const { return active_ && state_ != station::State::Connected; }

    // The connection step failed at start-up: true when the station waits instead of the fatal box.
    bool TakeOverStartFailure(unsigned textId);
    void ControlGone() { Fire(station::Event::ControlGone); }
    void OnTimer();
    void OnProbeDone(LPARAM probe);
    // A click on the display while waiting: true when it was the operator's answer to a refusal.
    bool OnDisplayClick();
    // The window is going: no timer, no probe, nothing more done.
    void Stop();

private:
    // A command refused because the control is gone: posted, so that the link is never closed
    // under the call that queued the command.
    class LossPoster final : public LostControlReporter {
    public:
        explicit LossPoster(Station& station) : station_(station) {}
        void ReportLostControl() override { PostMessageA(station_.hwnd_, ControlGoneMessage, 0, 0); }

    private:
        Station& station_;
    };

    void Fire(station::Event event);
    void Perform(station::Action action);
    void StartProbe();

    StationWindow& window_;
    HWND hwnd_ = nullptr;
    ControlLink* link_ = nullptr;
    int* connectedLocally_ = nullptr;
    bool active_ = false;
    bool stopped_ = false;
    // Enter Network Password was shown since the loss: a second refusal waits for a click.
    bool asked_ = false;
    station::State state_ = station::State::Connected;
    StationProbe* probe_ = nullptr;
    LossPoster lossPoster_{*this};
};

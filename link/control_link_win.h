// The one connection to the control application: connecting, the commands handed to the
// outbound road, and the close that stops both threads and closes both pipes.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "protocol/display_event.h"
#include "link/command_encoder.h"
#include "link/link_session_win.h"
#include "link/network_password_dialog_win.h"
#include "link/outbound_path_win.h"
#include "protocol/panel_command.h"
#include "link/station_probe_win.h"

// What the link needs of the main window.
class LinkOwner {
public:
    // Parent of the dialogs, the window whose title is set, owner of the fatal box.
    virtual HWND OwnerWindow() const = 0;
    // Receives the decoded events on the reader thread.
    virtual EventSink* DisplaySink() = 0;

protected:
    ~LinkOwner() = default;
};

class ControlLink final : private ControlLossListener, private LostControlReporter {
public:
    // Posted to the owner window when the writer or the reader finds the control gone; the owner
    // answers it with ReportLoss on the window thread.
    static constexpr UINT LostMessage = WM_APP + 2;

    explicit ControlLink(LinkOwner* owner);
    ~ControlLink();
    ControlLink(const ControlLink&) = delete;
    ControlLink& operator=(const ControlLink&) = delete;

    // 0 with *connectedLocally set (1 this computer, 0 remote), else a text id. The flag is set
    // before the reader thread starts, so that the reader may read it from its first event on.
    unsigned Connect(int* connectedLocally);
    // Discards the commands still waiting, stops both threads where they stand and closes both
    // pipes; safe to call more than once. A station connects again after it (Adopt).
    unsigned Close();

    // A station's pieces: the command line asks for one (-w); pane 1 and the title for the
    // target settled at start-up; a probe of that target on a thread of its own (null when it
    // cannot start); a session on what a probe found (false: nothing runs, the pipes are closed;
    // the probe's network connection is kept for the close either way); and Enter Network
    // Password for the target, whose connection the close cancels.
    bool StationRequested();
    void ShowTarget();
    StationProbe* StartProbe(UINT message);
    bool Adopt(StationProbe::Outcome& found, int* connectedLocally);
    bool AskNetworkAccess();

    // Neither waits on the control: the bytes join the outbound road whole, behind everything
    // made before them. 0 when the command has no byte form; otherwise 1, after reporting a
    // control already known to be lost. A queued command's ticket goes to *ticket when given.
    int32_t QueueCommand(const PanelCommand& command, uint64_t* ticket = nullptr);
    // Exactly these bytes, reported as a command is when they meet a lost control; returns 1.
    int WriteBytes(const char* bytes, int32_t count, uint64_t* ticket = nullptr);
    // The command of this ticket still waits for the control to take it.
    bool Waits(uint64_t ticket) const { return session_.Waits(ticket); }
    // The fatal report of a lost control, at most once; window thread.
    void ReportLoss();
    // What waits for the control to take it.
    OutboundQueue::Backlog Backlog() const { return session_.Backlog(); }
    // The writer found the control gone (its report is on its way to the owner window).
    bool ControlGone() const { return session_.ControlGone(); }

    // For the owner's exit handling, on the reader thread: call it once the copies of what the
    // handling needs are taken and before it waits on the window thread (notice box, close
    // request). False means the link is being closed: return at once, touching nothing. Until it
    // is called, a Close waits for the handling, which must therefore not wait on the window
    // thread before calling it.
    static bool BeginWaitOnWindow();

    bool Connected() const { return session_.Started(); }
    // The reader thread's id while it is held, else 0 (for tests that watch it end).
    DWORD ReaderThreadId() const { return session_.ReaderThread() ? GetThreadId(session_.ReaderThread()) : 0; }

    // Replaces the services' command line (tools and tests): args[0] is the program.
    void UseArguments(int count, const char* const* args);
    // Replaces the platform's network connection call (tests).
    void UseConnector(network_access::Connector connector) { network_.connect = connector; }
    // Replaces all three network calls (tests).
    void UseNetwork(const network_access::Network& network) { network_ = network; }
    // Replaces how the pipes are opened (tests: a remote computer's pipes served on this one,
    // which the name rule keeps the command line from naming); null restores it.
    using PipeOpener = connect_logic::PipeHandle (*)(const char* name, connect_logic::PipeAccess access);
    void UsePipeOpener(PipeOpener opener) { pipeOpener_ = opener; }
    // Replaces the fatal box of a lost control (tests); null restores it.
    void UseLostControlReporter(LostControlReporter* reporter) { reporter_ = reporter; }

private:
    class Platform;
    friend class Platform;
    class LostOnce;

    // On the writer or the reader thread, or the thread that overflowed the queue.
    void OnControlLost() override;
    // A command or bytes refused by a lost control, on the window thread.
    void ReportLostControl() override { ReportLoss(); }

    LinkOwner* owner_;
    LinkSession session_;
    // The target Connect settled (from the command line or Connect To); a station probes it again.
    connect_logic::ConnectionChoice choice_;
    // Where a loss is posted: the owner window as it was at connection time.
    std::atomic<HWND> lossWindow_{nullptr};
    int argCount_ = -1;  // -1: the services' command line
    const char* const* args_ = nullptr;
    network_access::Network network_ = network_access::kSystemNetwork;
    LostControlReporter* reporter_ = nullptr;
    PipeOpener pipeOpener_ = nullptr;
    // Window thread only: the loss has been reported.
    bool lossReported_ = false;
};

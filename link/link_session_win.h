// One connection's life without a window: the outbound road, the reader thread, both pipes and
// the network connection made for it. The window's link and the headless panel both run on it.
#pragma once
#include <windows.h>

#include <cstdint>

#include "protocol/display_event.h"
#include "link/command_encoder.h"
#include "link/connect_logic.h"
#include "link/network_access_win.h"
#include "link/outbound_path_win.h"
#include "protocol/panel_command.h"

class PipeSource;
class ReaderContext;

class LinkSession final {
public:
    LinkSession() = default;
    ~LinkSession() { Close(); }
    LinkSession(const LinkSession&) = delete;
    LinkSession& operator=(const LinkSession&) = delete;

    // Who hears of the session's events: the decoded display events (reader thread), the
    // writer's loss and the reads' loss (null: nobody).
    struct Listeners {
        EventSink* display;
        ControlLossListener* writeLoss;
        ControlLossListener* readLoss;
    };
    // Starts the writer with the greeting queued, then the reader, on the two pipes, which are the
    // session's once it returns true (and stay the caller's when it returns false).
    // reads replaces the read pipe's reads (tests).
    bool Start(HANDLE readPipe, HANDLE writePipe, const Listeners& listeners, PipeSource* reads = nullptr);
    // The connection made for this session, cancelled by Close.
    void KeepNetworkConnection(const char* remoteName, network_access::Canceller cancel);
    // Discards what waits, stops both threads where they stand (each within its bound), closes
    // both pipes and cancels the session's network connection; safe to call more than once. A
    // thread left in a call that ignored the stop closes its pipe itself once the call returns.
    void Close();

    // 0 when the command has no byte form; otherwise 1, after telling the reporter (null:
    // nobody) when the queue refused it: the control is known to be gone or not connected.
    int32_t QueueCommand(const PanelCommand& command, LostControlReporter* reporter, uint64_t* ticket = nullptr);
    // Exactly these bytes, refused and reported as a command is.
    void QueueBytes(const char* bytes, int32_t count, LostControlReporter* reporter, uint64_t* ticket = nullptr);

    bool Started() const { return readPipe_ != nullptr; }
    // The reader thread's handle while the session holds it, else null.
    HANDLE ReaderThread() const { return thread_; }
    bool Waits(uint64_t ticket) const { return outbound_ && outbound_->Queue().Waits(ticket); }
    OutboundQueue::Backlog Backlog() const;
    bool ControlGone() const { return outbound_ && outbound_->Queue().Gone(); }

private:
    void Queue(const char* bytes, int32_t count, LostControlReporter* reporter, uint64_t* ticket);

    HANDLE readPipe_ = nullptr;
    HANDLE writePipe_ = nullptr;
    HANDLE thread_ = nullptr;
    ReaderContext* reader_ = nullptr;
    OutboundPath* outbound_ = nullptr;
    char ownConnection_[connect_logic::kNameCapacity + 2] = {};  // empty: none
    network_access::Canceller cancel_ = nullptr;
};

// The connection step's platform answers that every caller shares: the texts, the pipes opened
// as the panel opens them, and the listing of existing network connections.
class PipeConnectPlatform : public connect_logic::ConnectPlatform {
public:
    explicit PipeConnectPlatform(const network_access::Network& network) : network_(network) {}

    const char* LoadText(unsigned textId) override;
    bool NetworkConnectionExists(const char* remoteName) override;
    connect_logic::PipeHandle OpenPipe(const char* name, connect_logic::PipeAccess access) override;
    void ClosePipe(connect_logic::PipeHandle pipe) override;

protected:
    const network_access::Network& Network() const { return network_; }

private:
    const network_access::Network& network_;
    char text_[256] = {};
};

// The platform parts of a panel's own connection: network access through the given calls, and
// the session started on success.
class SessionConnectPlatform : public PipeConnectPlatform {
public:
    SessionConnectPlatform(LinkSession& session, const network_access::Network& network,
                           const LinkSession::Listeners& listeners)
        : PipeConnectPlatform(network), session_(session), listeners_(listeners) {}

    bool AddNetworkConnection(const char* remoteName) override;
    void KeepNetworkConnection(const char* remoteName) override;
    bool StartReader(connect_logic::PipeHandle readPipe, connect_logic::PipeHandle writePipe) override;

private:
    LinkSession& session_;
    LinkSession::Listeners listeners_;
};

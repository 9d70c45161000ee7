// The link on Win32: the connection step's platform (services, dialogs, pipes, threads), the
// commands handed to the outbound road, the loss report and the close.
#include "link/control_link_win.h"

#include "link/connect_dialog_win.h"
#include "link/connect_logic.h"
#include "link/pipe_io_win.h"
#include "link/reader_thread_win.h"
#include "link/station_rules.h"
#include "support/app_services_win.h"
#include "support/busy_cursor_win.h"
#include "support/text_ids.h"

namespace {

// The fatal report of a lost control, through the services when they exist.
class FatalLostControl final : public LostControlReporter {
public:
    explicit FatalLostControl(HWND owner) : owner_(owner) {}
    void ReportLostControl() override {
        if (g_appServices) g_appServices->ShowFatalError(owner_, text_id::CommunicationsError, text_id::ObjectFrame);
    }

private:
    HWND owner_;
};

}  // namespace

// The loss is reported once only: the writer's finding and the commands made after it (held
// keys, inside the box's own message loop) each meet the lost control.
class ControlLink::LostOnce final : public LostControlReporter {
public:
    LostOnce(ControlLink& link, LostControlReporter* reporter) : link_(link), reporter_(reporter) {}
    void ReportLostControl() override {
        if (link_.lossReported_) return;
        link_.lossReported_ = true;
        reporter_->ReportLostControl();
    }

private:
    ControlLink& link_;
    LostControlReporter* reporter_;
};

class ControlLink::Platform final : public SessionConnectPlatform {
public:
    explicit Platform(ControlLink& link)
        : SessionConnectPlatform(link.session_, link.network_,
                                 {link.owner_ ? link.owner_->DisplaySink() : nullptr, &link, &link}),
          link_(link) {}

    int GetArgCount() override {
        if (link_.argCount_ >= 0) return link_.argCount_;
        return g_appServices ? g_appServices->GetArgCount() : 0;
    }
    const char* GetArg(int index) override {
        if (link_.argCount_ >= 0) return index >= 0 && index < link_.argCount_ ? link_.args_[index] : nullptr;
        return g_appServices ? g_appServices->GetArg(index) : nullptr;
    }

    bool ShowConnectDialog(connect_logic::ConnectionChoice& choice) override {
        ConnectDialog dialog(Owner(), &choice);
        return dialog.DoModal() == IDOK;
    }
    bool ShowPasswordDialog(const char* remoteName) override {
        NetworkPasswordDialog dialog(Owner(), remoteName, Network().connect);
        return dialog.DoModal() == IDOK;
    }
    connect_logic::PipeHandle OpenPipe(const char* name, connect_logic::PipeAccess access) override {
        return link_.pipeOpener_ ? link_.pipeOpener_(name, access) : SessionConnectPlatform::OpenPipe(name, access);
    }
    bool StartReader(connect_logic::PipeHandle readPipe, connect_logic::PipeHandle writePipe) override {
        link_.lossWindow_.store(Owner());
        return SessionConnectPlatform::StartReader(readPipe, writePipe);
    }

    void SetBusy(bool busy) override {
        if (g_busyCursor) g_busyCursor->SetBusy(busy);
    }
    void SetStatusText(int index, const char* text) override {
        if (g_appServices) g_appServices->SetStatusText(index, text);
    }
    void SetTitle(const char* text) override {
        if (HWND owner = Owner()) SetWindowTextA(owner, text);
    }

private:
    HWND Owner() const { return link_.owner_ ? link_.owner_->OwnerWindow() : nullptr; }

    ControlLink& link_;
};

ControlLink::ControlLink(LinkOwner* owner) : owner_(owner) {}

bool ControlLink::BeginWaitOnWindow() { return reader_thread::BeginWindowWait(); }

ControlLink::~ControlLink() { Close(); }

void ControlLink::UseArguments(int count, const char* const* args) {
    argCount_ = args && count > 0 ? count : 0;
    args_ = args;
}

unsigned ControlLink::Connect(int* connectedLocally) {
    if (Connected()) return text_id::UnexpectedState;
    Platform platform(*this);
    return connect_logic::Connect(platform, connectedLocally, &choice_);
}

bool ControlLink::StationRequested() {
    Platform platform(*this);
    return station::Requested(platform);
}

void ControlLink::ShowTarget() {
    Platform platform(*this);
    connect_logic::ReportTarget(platform, choice_);
}

StationProbe* ControlLink::StartProbe(UINT message) {
    return StationProbe::Start(choice_, network_, owner_ ? owner_->OwnerWindow() : nullptr, message);
}

bool ControlLink::Adopt(StationProbe::Outcome& found, int* connectedLocally) {
    if (found.keptConnection[0]) session_.KeepNetworkConnection(found.keptConnection, network_.cancel);
    if (found.textId != 0 || Connected()) {
        pipe_io::ClosePipe(found.readPipe);
        pipe_io::ClosePipe(found.writePipe);
        return false;
    }
    // As Connect: the flag before the reader, which may read it from its first event on.
    if (connectedLocally) *connectedLocally = found.connectedLocally;
    lossReported_ = false;
    lossWindow_.store(owner_ ? owner_->OwnerWindow() : nullptr);
    if (!session_.Start(found.readPipe, found.writePipe, {owner_ ? owner_->DisplaySink() : nullptr, this, this})) {
        pipe_io::ClosePipe(found.readPipe);
        pipe_io::ClosePipe(found.writePipe);
        return false;
    }
    Platform platform(*this);
    for (int pane = 0; pane < 2; ++pane) platform.SetStatusText(pane, found.paneTexts[pane]);
    platform.SetTitle(found.title);
    return true;
}

bool ControlLink::AskNetworkAccess() {
    char remoteName[connect_logic::kNameCapacity + 2];
    connect_logic::FormatRemoteName(choice_.computerName, remoteName, sizeof remoteName);
    NetworkPasswordDialog dialog(owner_ ? owner_->OwnerWindow() : nullptr, remoteName, network_.connect);
    if (dialog.DoModal() != IDOK) return false;
    session_.KeepNetworkConnection(remoteName, network_.cancel);
    return true;
}

unsigned ControlLink::Close() {
    session_.Close();
    return 0;
}

// Both roads refused by a lost control end in ReportLoss, as the threads' findings do.
int32_t ControlLink::QueueCommand(const PanelCommand& command, uint64_t* ticket) {
    return session_.QueueCommand(command, this, ticket);
}

int ControlLink::WriteBytes(const char* bytes, int32_t count, uint64_t* ticket) {
    session_.QueueBytes(bytes, count, this, ticket);
    return 1;
}

void ControlLink::ReportLoss() {
    FatalLostControl fatal(owner_ ? owner_->OwnerWindow() : nullptr);
    LostOnce once(*this, reporter_ ? reporter_ : &fatal);
    once.ReportLostControl();
}

void ControlLink::OnControlLost() {
    if (HWND window = lossWindow_.load()) PostMessageA(window, LostMessage, 0, 0);
}

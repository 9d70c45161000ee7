// The link on Win32: the connection step's platform (services, dialogs, pipes, threads), the
// commands handed to the outbound road, the loss report and the close.
#include "link/control_link_win.h"

#include <new>

#include "link/connect_dialog_win.h"
#include "link/connect_logic.h"
#include "link/link_text_win.h"
#include "link/pipe_io_win.h"
#include "link/reader_thread_win.h"
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

class ControlLink::Platform final : public connect_logic::ConnectPlatform {
public:
    explicit Platform(ControlLink& link) : link_(link) {}

    int GetArgCount() override {
        if (link_.argCount_ >= 0) return link_.argCount_;
        return g_appServices ? g_appServices->GetArgCount() : 0;
    }
    const char* GetArg(int index) override {
        if (link_.argCount_ >= 0) return index >= 0 && index < link_.argCount_ ? link_.args_[index] : nullptr;
        return g_appServices ? g_appServices->GetArg(index) : nullptr;
    }
    const char* LoadText(unsigned textId) override { return link_text::Load(textId, text_, sizeof(text_)); }

    bool ShowConnectDialog(connect_logic::ConnectionChoice& choice) override {
        ConnectDialog dialog(Owner(), &choice);
        return dialog.DoModal() == IDOK;
    }
    bool AddNetworkConnection(const char* remoteName) override {
        return link_.network_.connect && link_.network_.connect(nullptr, remoteName, nullptr, nullptr) == NO_ERROR;
    }
    bool ShowPasswordDialog(const char* remoteName) override {
        NetworkPasswordDialog dialog(Owner(), remoteName, link_.network_.connect);
        return dialog.DoModal() == IDOK;
    }
    bool NetworkConnectionExists(const char* remoteName) override {
        return !link_.network_.exists || link_.network_.exists(remoteName);
    }
    void KeepNetworkConnection(const char* remoteName) override {
        lstrcpynA(link_.ownConnection_, remoteName, sizeof(link_.ownConnection_));
    }

    connect_logic::PipeHandle OpenPipe(const char* name, connect_logic::PipeAccess access) override {
        return pipe_io::OpenPipe(name, access);
    }
    void ClosePipe(connect_logic::PipeHandle pipe) override { pipe_io::ClosePipe(pipe); }
    bool StartReader(connect_logic::PipeHandle readPipe, connect_logic::PipeHandle writePipe) override {
        return link_.StartReader(readPipe, writePipe);
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
    char text_[256] = {};
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
    return connect_logic::Connect(platform, connectedLocally);
}

bool ControlLink::StartReader(HANDLE readPipe, HANDLE writePipe) {
    lossWindow_.store(owner_ ? owner_->OwnerWindow() : nullptr);
    OutboundPath* outbound = OutboundPath::Start(writePipe, this);
    if (!outbound) return false;  // the caller closes both pipes
    auto* context =
        new (std::nothrow) ReaderContext(readPipe, outbound, owner_ ? owner_->DisplaySink() : nullptr, this);
    if (!context) {
        outbound->Stop();
        outbound->Release();
        return false;
    }
    // The handles are the link's before the thread can run, so that Close always finds them.
    readPipe_ = readPipe;
    writePipe_ = writePipe;
    outbound_ = outbound;
    HANDLE thread = reader_thread::Start(context);
    if (!thread) {
        readPipe_ = nullptr;
        writePipe_ = nullptr;
        outbound_ = nullptr;
        outbound->Stop();
        outbound->Release();
        context->Release();
        return false;
    }
    thread_ = thread;
    reader_ = context;
    return true;
}

unsigned ControlLink::Close() {
    // The writer first: a write the control does not take is broken at once.
    if (outbound_) outbound_->Stop();
    if (thread_) {
        reader_thread::Stop(thread_, reader_);
        thread_ = nullptr;
    }
    if (reader_) {
        reader_->Release();
        reader_ = nullptr;
    }
    if (outbound_) {
        outbound_->Release();
        outbound_ = nullptr;
    }
    if (readPipe_) {
        CloseHandle(readPipe_);
        readPipe_ = nullptr;
    }
    if (writePipe_) {
        CloseHandle(writePipe_);
        writePipe_ = nullptr;
    }
    if (ownConnection_[0]) {
        if (network_.cancel) network_.cancel(ownConnection_);
        ownConnection_[0] = '\0';
    }
    return 0;
}

int32_t ControlLink::SendCommand(const PanelCommand& command, uint64_t* ticket) {
    QueuedCommandWriter writer(outbound_, ticket);
    FatalLostControl fatal(owner_ ? owner_->OwnerWindow() : nullptr);
    LostOnce once(*this, reporter_ ? reporter_ : &fatal);
    return ::SendCommand(command, writer, &once);
}

int ControlLink::WriteBytes(const char* bytes, int32_t count, uint64_t* ticket) {
    // A queue past its bounds tells the owner window through the loss listener.
    if (outbound_) outbound_->Add(bytes, count, false, ticket);
    return 1;
}

void ControlLink::ReportLoss() {
    FatalLostControl fatal(owner_ ? owner_->OwnerWindow() : nullptr);
    LostOnce once(*this, reporter_ ? reporter_ : &fatal);
    once.ReportLostControl();
}

OutboundQueue::Backlog ControlLink::Backlog() const {
    return outbound_ ? outbound_->Waiting() : OutboundQueue::Backlog{0, 0};
}

void ControlLink::OnControlLost() {
    if (HWND window = lossWindow_.load()) PostMessageA(window, LostMessage, 0, 0);
}

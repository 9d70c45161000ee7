// The connection step's platform without a window: the command line given, no dialogs (the
// caller insists on -l or -r NAME), the pipes opened as the panel opens them, the panel's
// reader thread, and the title and status texts kept for the console.
#include "tools/headless/headless_link_win.h"

#include "display/branch_to_dialog_win.h"
#include "link/connect_logic.h"
#include "link/link_text_win.h"
#include "link/network_password_dialog_win.h"
#include "link/pipe_io_win.h"
#include "link/reader_thread_win.h"
#include "support/text_ids.h"

namespace {
constexpr int kTextCapacity = 256;
constexpr int kDeviceStatusPane = 1;
}  // namespace

class HeadlessLink::Platform final : public connect_logic::ConnectPlatform {
public:
    Platform(HeadlessLink& link, int argc, const char* const* argv) : link_(link), argc_(argc), argv_(argv) {}

    int GetArgCount() override { return argc_; }
    const char* GetArg(int index) override { return index >= 0 && index < argc_ ? argv_[index] : nullptr; }
    const char* LoadText(unsigned textId) override { return link_text::Load(textId, text_, sizeof text_); }

    bool ShowConnectDialog(connect_logic::ConnectionChoice&) override { return false; }
    bool AddNetworkConnection(const char* remoteName) override {
        return network_access::Connect(nullptr, remoteName, nullptr, nullptr) == NO_ERROR;
    }
    bool ShowPasswordDialog(const char*) override { return false; }
    bool NetworkConnectionExists(const char* remoteName) override { return network_access::ConnectionExists(remoteName); }
    void KeepNetworkConnection(const char* remoteName) override { link_.ownConnection_ = remoteName; }

    connect_logic::PipeHandle OpenPipe(const char* name, connect_logic::PipeAccess access) override {
        return pipe_io::OpenPipe(name, access);
    }
    void ClosePipe(connect_logic::PipeHandle pipe) override { pipe_io::ClosePipe(pipe); }
    bool StartReader(connect_logic::PipeHandle readPipe, connect_logic::PipeHandle writePipe) override {
        return link_.StartReader(readPipe, writePipe);
    }

    void SetBusy(bool) override {}
    void SetStatusText(int index, const char* text) override {
        if (index == kDeviceStatusPane) link_.status_ = text;
    }
    void SetTitle(const char* text) override { link_.title_ = text; }

private:
    HeadlessLink& link_;
    int argc_;
    const char* const* argv_;
    char text_[kTextCapacity] = {};
};

HeadlessLink::HeadlessLink() : changed_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
    display_.SetOwner(this);
}

HeadlessLink::~HeadlessLink() {
    Close();
    display_.SetOwner(nullptr);
    if (changed_) CloseHandle(changed_);
}

std::string HeadlessLink::LoadText(unsigned textId) const {
    char text[kTextCapacity];
    return link_text::Load(textId, text, sizeof text);
}

unsigned HeadlessLink::Connect(int argc, const char* const* argv, std::string* text) {
    Platform platform(*this, argc, argv);
    int local = 0;
    const unsigned id = connect_logic::Connect(platform, &local);
    if (id != 0 && text) *text = LoadText(id);
    lostText_ = LoadText(text_id::CommunicationsError);
    return id;
}

bool HeadlessLink::StartReader(HANDLE readPipe, HANDLE writePipe) {
    OutboundPath* outbound = OutboundPath::Start(writePipe, this);
    if (!outbound) return false;
    // A control found gone by the reads shows as the reader's end (State), as it always has.
    auto* context = new ReaderContext(readPipe, outbound, &display_, nullptr);
    HANDLE thread = reader_thread::Start(context);
    if (!thread) {
        outbound->Stop();
        outbound->Release();
        context->Release();
        return false;
    }
    outbound_ = outbound;
    readPipe_ = readPipe;
    writePipe_ = writePipe;
    thread_ = thread;
    reader_ = context;
    return true;
}

void HeadlessLink::Close() {
    if (outbound_) outbound_->Stop();
    if (thread_) reader_thread::Stop(thread_, reader_);
    thread_ = nullptr;
    if (reader_) reader_->Release();
    reader_ = nullptr;
    if (outbound_) outbound_->Release();
    outbound_ = nullptr;
    for (HANDLE* pipe : {&readPipe_, &writePipe_}) {
        if (*pipe) CloseHandle(*pipe);
        *pipe = nullptr;
    }
    if (!ownConnection_.empty()) network_access::Cancel(ownConnection_.c_str());
    ownConnection_.clear();
}

void HeadlessLink::OnControlExited() {
    exited_ = true;
    SetEvent(changed_);
}

int32_t HeadlessLink::SendCommand(const PanelCommand& command) {
    QueuedCommandWriter writer(outbound_);
    return ::SendCommand(command, writer, this);
}

int HeadlessLink::WriteBytes(const char* bytes, int32_t count) {
    if (outbound_) outbound_->Add(bytes, count, false);
    return 1;
}

std::string HeadlessLink::BranchTo(const std::string& text) {
    char command[36];
    const int n = FormatBranchCommand(text.c_str(), command);
    WriteBytes(command, n);
    return std::string(command, static_cast<size_t>(n));
}

ScreenCopy HeadlessLink::Screen() {
    return CopyScreen(display_);
}

PanelState HeadlessLink::State() {
    if (exited_) return PanelState::Exited;
    // The reader thread ends only on the exit notice or when the control's pipes are gone.
    if (!thread_ || WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0) return PanelState::Lost;
    return PanelState::Connected;
}

const char* HeadlessLink::LostControlText() { return lost_ ? lostText_.c_str() : nullptr; }

void HeadlessLink::WaitForChange(uint32_t ms) {
    HANDLE waits[2] = {changed_, thread_};
    WaitForMultipleObjects(thread_ ? 2 : 1, waits, FALSE, ms);
}

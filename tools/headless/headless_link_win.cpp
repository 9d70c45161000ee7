// The connection step's platform without a window: the command line given, no dialogs (the
// caller insists on -l or -r NAME), the panel's own link session, and the title and status
// texts kept for the console.
#include "tools/headless/headless_link_win.h"

#include "link/connect_logic.h"
#include "link/link_text_win.h"
#include "support/text_ids.h"

namespace {
constexpr int kTextCapacity = 256;
constexpr int kDeviceStatusPane = 1;
constexpr uint64_t kNoTicket = ~uint64_t{0};  // nothing was queued
}  // namespace

class HeadlessLink::Platform final : public SessionConnectPlatform {
public:
    // A control found gone by the reads shows as the reader's end (State), as it always has.
    Platform(HeadlessLink& link, int argc, const char* const* argv)
        : SessionConnectPlatform(link.session_, network_access::kSystemNetwork, {&link.display_, &link, nullptr}),
          link_(link),
          argc_(argc),
          argv_(argv) {}

    int GetArgCount() override { return argc_; }
    const char* GetArg(int index) override { return index >= 0 && index < argc_ ? argv_[index] : nullptr; }

    bool ShowConnectDialog(connect_logic::ConnectionChoice&) override { return false; }
    bool ShowPasswordDialog(const char*) override { return false; }

    void SetBusy(bool) override {}
    void SetStatusText(int index, const char* text) override {
        if (index == kDeviceStatusPane) link_.status_ = text;
    }
    void SetTitle(const char* text) override { link_.title_ = text; }

private:
    HeadlessLink& link_;
    int argc_;
    const char* const* argv_;
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

void HeadlessLink::OnControlExited() {
    exited_ = true;
    SetEvent(changed_);
}

int32_t HeadlessLink::QueueCommand(const PanelCommand& command) {
    uint64_t ticket = kNoTicket;
    const int32_t result = session_.QueueCommand(command, this, &ticket);
    Queued(ticket);
    return result;
}

int HeadlessLink::WriteBytes(const char* bytes, int32_t count) {
    uint64_t ticket = kNoTicket;
    session_.QueueBytes(bytes, count, this, &ticket);
    Queued(ticket);
    return 1;
}

void HeadlessLink::Queued(uint64_t ticket) {
    // Tickets rise in the order made: the last one given is the last to be taken.
    if (ticket == kNoTicket) return;
    lastTicket_ = ticket;
    queued_ = true;
}

std::string HeadlessLink::BranchTo(const std::string& text) {
    char command[BranchCommandSize];
    // The script's lines were checked: a text that may not go out never reaches this.
    const int n = EncodeBranchCommand(text, command);
    if (n > 0) WriteBytes(command, n);
    return std::string(command, static_cast<size_t>(n));
}

ScreenCopy HeadlessLink::Screen() {
    return CopyScreen(display_);
}

PanelState HeadlessLink::State() {
    if (exited_) return PanelState::Exited;
    // The reader thread ends only on the exit notice or when the control's pipes are gone.
    HANDLE thread = session_.ReaderThread();
    if (!thread || WaitForSingleObject(thread, 0) == WAIT_OBJECT_0) return PanelState::Lost;
    return PanelState::Connected;
}

const char* HeadlessLink::LostControlText() {
    // Found by a command, or by the reads (the reader thread ended without the exit notice).
    const PanelState state = State();
    if (state == PanelState::Exited) return nullptr;
    return lost_ || state == PanelState::Lost ? lostText_.c_str() : nullptr;
}

bool HeadlessLink::Sending() { return queued_ && session_.Waits(lastTicket_); }

void HeadlessLink::WaitForChange(uint32_t ms) {
    HANDLE waits[2] = {changed_, session_.ReaderThread()};
    WaitForMultipleObjects(waits[1] ? 2 : 1, waits, FALSE, ms);
}

// The station's probe thread: the connection step on a platform without dialogs, busy cursor or
// window, whose found pipes and report are kept for the window thread; and the hand-over.
#include "link/station_probe_win.h"

#include <condition_variable>
#include <cstring>
#include <deque>
#include <new>

#include "link/link_session_win.h"
#include "link/pipe_io_win.h"

namespace {
// The computer or its network cannot be reached: a password would not help, and asking for one
// would only bother an operator whose control computer is restarting.
constexpr DWORD kUnreachable[] = {
    ERROR_BAD_NETPATH,        ERROR_NETWORK_UNREACHABLE, ERROR_HOST_UNREACHABLE, ERROR_NO_NETWORK,
    ERROR_REM_NOT_LIST,       ERROR_BAD_NET_RESP,        ERROR_UNEXP_NET_ERR,    ERROR_NETNAME_DELETED,
    ERROR_SEM_TIMEOUT,        ERROR_NO_NET_OR_BAD_PATH,  ERROR_CONNECTION_REFUSED, ERROR_NETWORK_BUSY,
    ERROR_BAD_NET_NAME,
};

void Copy(char* out, size_t capacity, const char* text) {
    if (capacity == 0) return;
    const size_t n = text ? strnlen(text, capacity - 1) : 0;
    if (n) std::memcpy(out, text, n);
    out[n] = '\0';
}
}  // namespace

// Everything the connection step asks of its platform, answered without the window thread.
class StationProbe::Platform final : public PipeConnectPlatform {
public:
    Platform(const network_access::Network& network, Outcome& outcome)
        : PipeConnectPlatform(network), outcome_(outcome) {}

    int GetArgCount() override { return 0; }
    const char* GetArg(int) override { return nullptr; }

    bool ShowConnectDialog(connect_logic::ConnectionChoice&) override { return false; }
    bool AddNetworkConnection(const char* remoteName) override {
        const DWORD error =
            Network().connect ? Network().connect(nullptr, remoteName, nullptr, nullptr) : ERROR_NO_NETWORK;
        outcome_.accessNeedsOperator = error != NO_ERROR && !IsUnreachable(error);
        return error == NO_ERROR;
    }
    // Never a dialog here: the window thread asks, once per loss, when the outcome says so.
    bool ShowPasswordDialog(const char*) override { return false; }
    void KeepNetworkConnection(const char* remoteName) override {
        Copy(outcome_.keptConnection, sizeof outcome_.keptConnection, remoteName);
    }

    bool StartReader(connect_logic::PipeHandle readPipe, connect_logic::PipeHandle writePipe) override {
        outcome_.readPipe = readPipe;
        outcome_.writePipe = writePipe;
        return true;
    }

    void SetBusy(bool) override {}
    void SetStatusText(int index, const char* text) override {
        if (index == 0 || index == 1) Copy(outcome_.paneTexts[index], sizeof outcome_.paneTexts[index], text);
    }
    void SetTitle(const char* text) override { Copy(outcome_.title, sizeof outcome_.title, text); }

private:
    Outcome& outcome_;
};

bool StationProbe::IsUnreachable(DWORD error) {
    for (DWORD e : kUnreachable)
        if (error == e) return true;
    return false;
}

// The one thread that runs the probes, one after the other. Made at the first probe and kept:
// a thread made for every probe cost more than the probe itself (7 ms of CPU each under Wine,
// measured: 0.57 % of a core against 0.2 % while waiting). Never deleted: its thread may still
// be in a slow network call when the process ends.
class StationProbe::Runner {
public:
    static bool Hand(StationProbe* probe) {
        static Runner* runner = new (std::nothrow) Runner();
        return runner && runner->Queue(probe);
    }

private:
    bool Queue(StationProbe* probe) {
        std::lock_guard<std::mutex> guard(mutex_);
        if (!thread_) thread_ = CreateThread(nullptr, 0, &Runner::Main, this, 0, nullptr);
        if (!thread_) return false;
        waiting_.push_back(probe);
        wake_.notify_one();
        return true;
    }
    static DWORD WINAPI Main(void* self) {
        auto* runner = static_cast<Runner*>(self);
        for (;;) {
            StationProbe* probe = nullptr;
            {
                std::unique_lock<std::mutex> lock(runner->mutex_);
                runner->wake_.wait(lock, [runner] { return !runner->waiting_.empty(); });
                probe = runner->waiting_.front();
                runner->waiting_.pop_front();
            }
            probe->Run();
            probe->Release();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<StationProbe*> waiting_;
    HANDLE thread_ = nullptr;
};

StationProbe* StationProbe::Start(const connect_logic::ConnectionChoice& choice, const network_access::Network& network,
                                  HWND notify, UINT message) {
    auto* probe = new (std::nothrow) StationProbe(choice, network, notify, message);
    if (!probe) return nullptr;
    if (!Runner::Hand(probe)) {
        delete probe;
        return nullptr;
    }
    return probe;
}

void StationProbe::Run() {
    Outcome found;
    Platform platform(network_, found);
    found.textId = connect_logic::ConnectTo(platform, choice_, &found.connectedLocally);
    std::lock_guard<std::mutex> guard(mutex_);
    outcome_ = found;
    done_ = true;
    if (abandoned_) {
        Discard();
        return;
    }
    // A full message queue leaves the outcome here for Stranded to find.
    // (Never to a null window: that would post to this thread.)
    posted_ = notify_ && PostMessageA(notify_, message_, 0, reinterpret_cast<LPARAM>(this)) != FALSE;
}

bool StationProbe::Stranded() {
    std::lock_guard<std::mutex> guard(mutex_);
    return done_ && !posted_;
}

StationProbe::Outcome StationProbe::Take() {
    Outcome taken;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        taken = outcome_;
        outcome_ = Outcome();
    }
    Release();
    return taken;
}

void StationProbe::Abandon() {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        abandoned_ = true;
        if (done_) Discard();
    }
    Release();
}

void StationProbe::Discard() {
    pipe_io::ClosePipe(outcome_.readPipe);
    pipe_io::ClosePipe(outcome_.writePipe);
    if (outcome_.keptConnection[0] && network_.cancel) network_.cancel(outcome_.keptConnection);
    outcome_ = Outcome();
}

void StationProbe::Release() {
    if (refs_.fetch_sub(1) == 1) delete this;
}

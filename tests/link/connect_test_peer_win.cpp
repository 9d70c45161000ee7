// The pipe peer and the owner window of the link's Wine tests.
#include "tests/link/connect_test_peer_win.h"

#include "link/pipe_server_win.h"

TestPeer::~TestPeer() {
    for (Device& d : devices_) {
        CloseEnd(d.read);
        CloseEnd(d.write);
    }
}

bool TestPeer::Create(End& end, connect_logic::PipeAccess side, int device, DWORD access, DWORD inBuffer) {
    pipe_server::EndShape shape{access, 4096, inBuffer};
    end.pipe = pipe_server::Create(pipe_server::LocalName(side, device).c_str(), shape);
    if (end.pipe == INVALID_HANDLE_VALUE) {
        end.pipe = nullptr;
        return false;
    }
    return end.connect.StartConnect(end.pipe);
}

void TestPeer::CloseEnd(End& end) {
    end.connect.Cancel();
    if (end.pipe) CloseHandle(end.pipe);
    end.pipe = nullptr;
}

bool TestPeer::Offer(int device, bool readSide, bool writeSide, DWORD inBuffer) {
    if (device < 0 || device >= kDevices) return false;
    Device& d = devices_[device];
    bool ok = true;
    if (readSide) ok = Create(d.read, connect_logic::PipeAccess::Read, device, PIPE_ACCESS_OUTBOUND, 4096) && ok;
    if (writeSide) ok = Create(d.write, connect_logic::PipeAccess::Write, device, PIPE_ACCESS_INBOUND, inBuffer) && ok;
    return ok;
}

bool TestPeer::Opened(int device, Side side) {
    End& end = side == Side::Read ? devices_[device].read : devices_[device].write;
    return end.pipe && end.connect.Ready();
}

bool TestPeer::Send(int device, const std::string& bytes, DWORD timeoutMs) {
    End& end = devices_[device].read;
    pipe_server::OverlappedIo io;
    return end.pipe && io.WriteAll(end.pipe, bytes.data(), static_cast<DWORD>(bytes.size()), {timeoutMs}) ==
                           pipe_server::IoOutcome::Done;
}

std::string TestPeer::Receive(int device, size_t want, DWORD timeoutMs) {
    End& end = devices_[device].write;
    std::string got;
    pipe_server::OverlappedIo io;
    if (end.pipe) io.ReadUpTo(end.pipe, want, got, {timeoutMs});
    return got;
}

DWORD TestPeer::Pending(int device) {
    DWORD available = 0;
    if (devices_[device].write.pipe) PeekNamedPipe(devices_[device].write.pipe, nullptr, 0, nullptr, &available, nullptr);
    return available;
}

void TestPeer::Vanish(int device) {
    CloseEnd(devices_[device].read);
    CloseEnd(devices_[device].write);
}

TestLinkOwner::TestLinkOwner(EventSink* sink) : sink_(sink) {
    hwnd_ = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
}

TestLinkOwner::~TestLinkOwner() {
    if (hwnd_) DestroyWindow(hwnd_);
}

std::string TestLinkOwner::Title() const {
    char buf[128] = {};
    GetWindowTextA(hwnd_, buf, sizeof(buf));
    return buf;
}

void ClickButton(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

std::string ItemText(HWND dialog, int id) {
    char buf[300] = {};
    GetDlgItemTextA(dialog, id, buf, sizeof(buf));
    return buf;
}

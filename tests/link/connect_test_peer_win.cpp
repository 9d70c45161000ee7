// The pipe peer and the owner window of the link's Wine tests.
#include "tests/link/connect_test_peer_win.h"

#include "link/pipe_server_win.h"

namespace {

// Completes an overlapped operation within the timeout, cancelling it otherwise.
bool Finish(HANDLE pipe, OVERLAPPED& ov, DWORD timeoutMs, DWORD* done) {
    *done = 0;
    if (WaitForSingleObject(ov.hEvent, timeoutMs) != WAIT_OBJECT_0) {
        CancelIoEx(pipe, &ov);
        GetOverlappedResult(pipe, &ov, done, TRUE);
        return false;
    }
    return GetOverlappedResult(pipe, &ov, done, FALSE) != FALSE;
}

}  // namespace

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
    end.connect = {};
    end.connect.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    switch (pipe_server::Listen(end.pipe, &end.connect)) {
        case pipe_server::Listening::Connected: end.connectedEarly = true; return true;
        case pipe_server::Listening::Pending: return true;
        case pipe_server::Listening::Failed: break;
    }
    return false;
}

void TestPeer::CloseEnd(End& end) {
    if (end.pipe) {
        CancelIoEx(end.pipe, nullptr);
        DWORD ignored = 0;
        if (!end.connectedEarly) GetOverlappedResult(end.pipe, &end.connect, &ignored, TRUE);
        CloseHandle(end.pipe);
        end.pipe = nullptr;
    }
    if (end.connect.hEvent) CloseHandle(end.connect.hEvent);
    end.connect = {};
    end.connectedEarly = false;
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
    if (!end.pipe) return false;
    return end.connectedEarly || WaitForSingleObject(end.connect.hEvent, 0) == WAIT_OBJECT_0;
}

bool TestPeer::Send(int device, const std::string& bytes, DWORD timeoutMs) {
    End& end = devices_[device].read;
    if (!end.pipe) return false;
    OVERLAPPED ov = {};
    ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD done = 0;
    bool ok = WriteFile(end.pipe, bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &ov) != FALSE ||
              GetLastError() == ERROR_IO_PENDING;
    if (ok) ok = Finish(end.pipe, ov, timeoutMs, &done);
    CloseHandle(ov.hEvent);
    return ok && done == bytes.size();
}

std::string TestPeer::Receive(int device, size_t want, DWORD timeoutMs) {
    End& end = devices_[device].write;
    std::string got;
    if (!end.pipe) return got;
    const DWORD start = GetTickCount();
    while (got.size() < want) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs) break;
        char buf[256];
        OVERLAPPED ov = {};
        ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        DWORD done = 0;
        const DWORD ask = static_cast<DWORD>(want - got.size() < sizeof(buf) ? want - got.size() : sizeof(buf));
        bool ok = ReadFile(end.pipe, buf, ask, nullptr, &ov) != FALSE || GetLastError() == ERROR_IO_PENDING;
        if (ok) ok = Finish(end.pipe, ov, timeoutMs - spent, &done);
        CloseHandle(ov.hEvent);
        if (!ok) break;
        got.append(buf, done);
    }
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

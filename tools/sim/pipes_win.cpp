// Named pipe server ends: overlapped connect, read and write, each bounded by a time-out.
#include "tools/sim/pipes_win.h"

#include <algorithm>

#include "link/pipe_server_win.h"
#include "protocol/inbound_table.h"
#include "tools/common/texts.h"

namespace {
constexpr DWORD kBufferSize = 65536;
constexpr DWORD kRecheckMs = 50;

HANDLE NewEvent() { return CreateEventA(nullptr, TRUE, FALSE, nullptr); }

void CloseEvent(OVERLAPPED& overlapped) {
    if (overlapped.hEvent) CloseHandle(overlapped.hEvent);
    overlapped.hEvent = nullptr;
}
}  // namespace

PipePair::~PipePair() {
    Close();
    CloseEvent(display_.connect);
    CloseEvent(commands_.connect);
    CloseEvent(read_);
    CloseEvent(write_);
}

unsigned PipePair::Create(const SimOptions& options, std::string& detail) {
    readName_ = pipe_server::LocalName(connect_logic::PipeAccess::Read, options.device);
    writeName_ = pipe_server::LocalName(connect_logic::PipeAccess::Write, options.device);
    read_.hEvent = NewEvent();
    write_.hEvent = NewEvent();
    // Duplex only so that the end can be peeked: the panel opens it for reading.
    unsigned id = CreateEnd(display_, readName_, PIPE_ACCESS_DUPLEX, options.allowRemote, detail);
    if (id == tool_text::Ok) id = CreateEnd(commands_, writeName_, PIPE_ACCESS_INBOUND, options.allowRemote, detail);
    if (id != tool_text::Ok) Close();
    return id;
}

unsigned PipePair::CreateEnd(End& end, const std::string& name, DWORD access, bool allowRemote, std::string& detail) {
    end.connect.hEvent = NewEvent();
    pipe_server::EndShape shape{access, kBufferSize, kBufferSize};
    shape.firstInstance = true;
    shape.allowRemote = allowRemote;
    end.pipe = pipe_server::Create(name.c_str(), shape);
    if (end.pipe != INVALID_HANDLE_VALUE) return tool_text::Ok;
    DWORD error = GetLastError();
    detail = name + " (error " + std::to_string(error) + ")";
    return error == ERROR_ACCESS_DENIED || error == ERROR_PIPE_BUSY ? tool_text::PipeInUse : tool_text::PipeCreateFailed;
}

bool PipePair::StartConnect(End& end) {
    // A client that opened before us and closed again is a connection too: the wait tells a
    // whole one (both ends) from a half to listen on again.
    switch (pipe_server::Listen(end.pipe, &end.connect)) {
        case pipe_server::Listening::Connected: end.connected = true; return true;
        case pipe_server::Listening::Pending: end.connecting = true; return true;
        case pipe_server::Listening::Failed: break;
    }
    return false;
}

bool PipePair::Relisten(End& end) {
    end.connected = false;
    return DisconnectNamedPipe(end.pipe) && StartConnect(end);
}

bool PipePair::ClientGone(const End& end) {
    DWORD available = 0;
    return !PeekNamedPipe(end.pipe, nullptr, 0, nullptr, &available, nullptr);
}

bool PipePair::FinishConnect(End& end) {
    DWORD ignored = 0;
    end.connecting = false;
    end.connected = GetOverlappedResult(end.pipe, &end.connect, &ignored, FALSE) != FALSE;
    return end.connected;
}

bool PipePair::Harvest() {
    for (End* end : {&display_, &commands_}) {
        if (end->connecting && WaitForSingleObject(end->connect.hEvent, 0) == WAIT_OBJECT_0 && !FinishConnect(*end)) {
            return false;
        }
    }
    return true;
}

LinkStatus PipePair::WaitConnected(uint32_t timeoutMs) {
    if (closed_ || display_.pipe == INVALID_HANDLE_VALUE) return LinkStatus::Closed;
    for (End* end : {&display_, &commands_}) {
        if (!end->connected && !end->connecting && !StartConnect(*end)) return LinkStatus::Closed;
    }
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (!Harvest()) return LinkStatus::Closed;
        if (display_.connected && commands_.connected) return LinkStatus::Ok;
        // A panel opens one pipe, then the other; one that found only one gives up and closes
        // it, leaving that end connected to nobody and the panel's next attempt refused as busy.
        End* half = display_.connected ? &display_ : commands_.connected ? &commands_ : nullptr;
        if (half && ClientGone(*half)) {
            // A panel that opened both and left at once had the other end connected before it
            // closed this one: that was a whole connection.
            if (!Harvest()) return LinkStatus::Closed;
            if (display_.connected && commands_.connected) return LinkStatus::Ok;
            if (!Relisten(*half)) return LinkStatus::Closed;
            continue;
        }
        HANDLE events[2];
        DWORD count = 0;
        for (End* end : {&display_, &commands_}) {
            if (end->connecting) events[count++] = end->connect.hEvent;
        }
        ULONGLONG now = GetTickCount64();
        DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        // While one end is connected, look again now and then whether its client is still there.
        DWORD slice = half ? (std::min)(left, kRecheckMs) : left;
        DWORD got = WaitForMultipleObjects(count, events, FALSE, slice);
        if (got == WAIT_TIMEOUT && slice == left) return LinkStatus::TimedOut;
        if (got != WAIT_TIMEOUT && got >= WAIT_OBJECT_0 + count) return LinkStatus::Closed;
    }
}

LinkStatus PipePair::Send(std::string_view bytes, uint32_t timeoutMs) {
    if (closed_ || !display_.connected) return LinkStatus::Closed;
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!bytes.empty()) {
        ResetEvent(write_.hEvent);
        DWORD written = 0;
        if (!WriteFile(display_.pipe, bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &write_) &&
            GetLastError() != ERROR_IO_PENDING) {
            return LinkStatus::Closed;
        }
        ULONGLONG now = GetTickCount64();
        DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        if (WaitForSingleObject(write_.hEvent, left) != WAIT_OBJECT_0) {
            CancelAndWait(display_.pipe, write_);
            return LinkStatus::TimedOut;
        }
        if (!GetOverlappedResult(display_.pipe, &write_, &written, FALSE)) return LinkStatus::Closed;
        bytes.remove_prefix(written);
    }
    return LinkStatus::Ok;
}

LinkStatus PipePair::Receive(std::string& appendTo, uint32_t timeoutMs) {
    if (closed_ || !commands_.connected) return LinkStatus::Closed;
    for (;;) {
        if (!readPending_) {
            ResetEvent(read_.hEvent);
            if (!ReadFile(commands_.pipe, readBuffer_, sizeof readBuffer_, nullptr, &read_) &&
                GetLastError() != ERROR_IO_PENDING) {
                return LinkStatus::Closed;
            }
            readPending_ = true;  // also when it completed at once: the event is set then
        }
        // A read that times out stays pending, so no byte is lost between calls.
        if (WaitForSingleObject(read_.hEvent, timeoutMs) != WAIT_OBJECT_0) return LinkStatus::TimedOut;
        readPending_ = false;
        DWORD got = 0;
        // Any failed read means the panel's end is gone (broken pipe, not connected).
        if (!GetOverlappedResult(commands_.pipe, &read_, &got, FALSE)) return LinkStatus::Closed;
        if (got > 0) {
            appendTo.append(readBuffer_, got);
            return LinkStatus::Ok;
        }
    }
}

void PipePair::CancelAndWait(HANDLE pipe, OVERLAPPED& overlapped) {
    DWORD ignored = 0;
    CancelIoEx(pipe, &overlapped);
    GetOverlappedResult(pipe, &overlapped, &ignored, TRUE);
}

void PipePair::Close() {
    if (readPending_) CancelAndWait(commands_.pipe, read_);
    readPending_ = false;
    for (End* end : {&display_, &commands_}) {
        if (end->connecting) CancelAndWait(end->pipe, end->connect);
        if (end->pipe != INVALID_HANDLE_VALUE) CloseHandle(end->pipe);
        end->pipe = INVALID_HANDLE_VALUE;
        end->connecting = false;
        end->connected = false;
    }
    closed_ = true;
}

void PipePair::SendExitNotice() {
    constexpr uint32_t kNoticeMs = 500;
    constexpr char kNotice = static_cast<char>(inbound::ExitNotice);
    if (display_.connected && commands_.connected) Send({&kNotice, 1}, kNoticeMs);
}

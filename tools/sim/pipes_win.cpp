// One device's named pipe server ends: when a panel has connected (both ends, or a half to listen
// on again), and its bytes each way, every wait bounded by a time-out.
#include "tools/sim/pipes_win.h"

#include <algorithm>

#include "link/pipe_server_win.h"
#include "protocol/inbound_table.h"
#include "tools/common/texts.h"

namespace {
constexpr DWORD kBufferSize = 65536;
constexpr DWORD kRecheckMs = 50;

using pipe_server::IoOutcome;
}  // namespace

PipePair::~PipePair() { Close(); }

unsigned PipePair::Create(const SimOptions& options, std::string& detail) {
    readName_ = pipe_server::LocalName(connect_logic::PipeAccess::Read, options.device);
    writeName_ = pipe_server::LocalName(connect_logic::PipeAccess::Write, options.device);
    // Duplex only so that the end can be peeked: the panel opens it for reading.
    unsigned id = CreateEnd(display_, readName_, PIPE_ACCESS_DUPLEX, options.allowRemote, detail);
    if (id == tool_text::Ok) id = CreateEnd(commands_, writeName_, PIPE_ACCESS_INBOUND, options.allowRemote, detail);
    if (id != tool_text::Ok) Close();
    return id;
}

unsigned PipePair::CreateEnd(End& end, const std::string& name, DWORD access, bool allowRemote, std::string& detail) {
    pipe_server::EndShape shape{access, kBufferSize, kBufferSize};
    shape.firstInstance = true;
    shape.allowRemote = allowRemote;
    end.pipe = pipe_server::Create(name.c_str(), shape);
    if (end.pipe != INVALID_HANDLE_VALUE) return tool_text::Ok;
    DWORD error = GetLastError();
    detail = name + " (error " + std::to_string(error) + ")";
    return error == ERROR_ACCESS_DENIED || error == ERROR_PIPE_BUSY ? tool_text::PipeInUse : tool_text::PipeCreateFailed;
}

bool PipePair::Relisten(End& end) {
    end.connected = false;
    return DisconnectNamedPipe(end.pipe) && end.connect.StartConnect(end.pipe);
}

bool PipePair::ClientGone(const End& end) {
    DWORD available = 0;
    return !PeekNamedPipe(end.pipe, nullptr, 0, nullptr, &available, nullptr);
}

bool PipePair::Harvest() {
    for (End* end : {&display_, &commands_}) {
        if (!end->connect.Ready()) continue;
        end->connected = end->connect.Wait({0}) == IoOutcome::Done;
        if (!end->connected) return false;
    }
    return true;
}

LinkStatus PipePair::WaitConnected(uint32_t timeoutMs) {
    if (closed_ || display_.pipe == INVALID_HANDLE_VALUE) return LinkStatus::Closed;
    // A client that opened before us and closed again is a connection too: the wait tells a
    // whole one (both ends) from a half to listen on again.
    for (End* end : {&display_, &commands_}) {
        if (!end->connected && !end->connect.Pending() && !end->connect.StartConnect(end->pipe)) return LinkStatus::Closed;
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
            if (end->connect.Pending()) events[count++] = end->connect.Event();
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
    switch (write_.WriteAll(display_.pipe, bytes.data(), static_cast<DWORD>(bytes.size()), {timeoutMs})) {
        case IoOutcome::Done: return LinkStatus::Ok;
        case IoOutcome::TimedOut: return LinkStatus::TimedOut;
        default: return LinkStatus::Closed;
    }
}

LinkStatus PipePair::Receive(std::string& appendTo, uint32_t timeoutMs) {
    if (closed_ || !commands_.connected) return LinkStatus::Closed;
    for (;;) {
        if (!read_.Pending() && !read_.StartRead(commands_.pipe, readBuffer_, sizeof readBuffer_)) return LinkStatus::Closed;
        DWORD got = 0;
        switch (read_.Wait({timeoutMs}, &got)) {
            case IoOutcome::Done: break;
            case IoOutcome::TimedOut: return LinkStatus::TimedOut;
            default: return LinkStatus::Closed;  // the panel's end is gone (broken pipe, not connected)
        }
        if (got > 0) {
            appendTo.append(readBuffer_, got);
            return LinkStatus::Ok;
        }
    }
}

void PipePair::Close() {
    read_.Cancel();
    for (End* end : {&display_, &commands_}) {
        end->connect.Cancel();
        if (end->pipe != INVALID_HANDLE_VALUE) CloseHandle(end->pipe);
        end->pipe = INVALID_HANDLE_VALUE;
        end->connected = false;
    }
    closed_ = true;
}

void PipePair::SendExitNotice() {
    constexpr uint32_t kNoticeMs = 500;
    constexpr char kNotice = static_cast<char>(inbound::ExitNotice);
    if (display_.connected && commands_.connected) Send({&kNotice, 1}, kNoticeMs);
}

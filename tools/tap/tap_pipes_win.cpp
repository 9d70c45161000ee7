// The opening and offering of the tap's pipe pairs, and the control's presence.
#include "tools/tap/tap_pipes_win.h"

#include "link/pipe_client_win.h"
#include "link/pipe_server_win.h"
#include "tools/common/texts.h"

namespace {
constexpr DWORD kPipeBuffer = 65536;
constexpr DWORD kRetryMs = 50;

std::string Described(const std::string& name, DWORD error) { return name + " (error " + std::to_string(error) + ")"; }
}  // namespace

Presence ControlPresence(int device, std::string& detail) {
    Presence worst = Presence::Offered;
    for (const auto side : {connect_logic::PipeAccess::Read, connect_logic::PipeAccess::Write}) {
        const std::string name = pipe_server::LocalName(side, device);
        // Waiting for an instance connects nothing: the control's listening goes on untouched.
        if (WaitNamedPipeA(name.c_str(), 1)) continue;
        const DWORD error = GetLastError();
        const Presence found = error == ERROR_FILE_NOT_FOUND                           ? Presence::Absent
                               : error == ERROR_SEM_TIMEOUT || error == ERROR_PIPE_BUSY ? Presence::Busy
                                                                                       : Presence::Failed;
        if (static_cast<int>(found) > static_cast<int>(worst)) {
            worst = found;
            detail = Described(name, error);
        }
    }
    return worst;
}

unsigned WaitForControl(int device, uint32_t waitMs, std::string& detail) {
    const ULONGLONG deadline = GetTickCount64() + waitMs;
    for (;;) {
        const Presence presence = ControlPresence(device, detail);
        if (presence == Presence::Offered) return tool_text::Ok;
        if (presence == Presence::Failed || GetTickCount64() >= deadline) return tool_text::ControlUnavailable;
        Sleep(kRetryMs);
    }
}

unsigned OpenControlPipes(int device, uint32_t waitMs, HANDLE& readPipe, HANDLE& writePipe, std::string& detail) {
    const std::string readName = pipe_server::LocalName(connect_logic::PipeAccess::Read, device);
    const std::string writeName = pipe_server::LocalName(connect_logic::PipeAccess::Write, device);
    const ULONGLONG deadline = GetTickCount64() + waitMs;
    for (;;) {
        readPipe = pipe_client::Open(readName.c_str(), connect_logic::PipeAccess::Read, FILE_FLAG_OVERLAPPED);
        DWORD error = GetLastError();
        if (readPipe != INVALID_HANDLE_VALUE) {
            writePipe = pipe_client::Open(writeName.c_str(), connect_logic::PipeAccess::Write, FILE_FLAG_OVERLAPPED);
            if (writePipe != INVALID_HANDLE_VALUE) return tool_text::Ok;
            error = GetLastError();
            ClosePipe(readPipe);
            detail = Described(writeName, error);
            return tool_text::ControlUnavailable;  // one side only: another client holds it
        }
        readPipe = writePipe = INVALID_HANDLE_VALUE;
        const bool later = error == ERROR_FILE_NOT_FOUND || error == ERROR_PIPE_BUSY;
        if (!later || GetTickCount64() >= deadline) {
            detail = Described(readName, error);
            return tool_text::ControlUnavailable;
        }
        Sleep(kRetryMs);
    }
}

unsigned CreatePanelPipes(const TapOptions& options, HANDLE& displayPipe, HANDLE& commandPipe, std::string& detail) {
    const std::string names[2] = {pipe_server::LocalName(connect_logic::PipeAccess::Read, options.listen),
                                  pipe_server::LocalName(connect_logic::PipeAccess::Write, options.listen)};
    const DWORD access[2] = {PIPE_ACCESS_OUTBOUND, PIPE_ACCESS_INBOUND};
    HANDLE* ends[2] = {&displayPipe, &commandPipe};
    for (int i = 0; i < 2; ++i) {
        pipe_server::EndShape shape{access[i], kPipeBuffer, kPipeBuffer};
        shape.firstInstance = true;
        shape.allowRemote = options.allowRemote;
        *ends[i] = pipe_server::Create(names[i].c_str(), shape);
        if (*ends[i] == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            detail = Described(names[i], error);
            ClosePipe(displayPipe);
            return error == ERROR_ACCESS_DENIED || error == ERROR_PIPE_BUSY ? tool_text::PipeInUse
                                                                           : tool_text::PipeCreateFailed;
        }
    }
    return tool_text::Ok;
}

void ClosePipe(HANDLE& pipe) {
    if (pipe != INVALID_HANDLE_VALUE && pipe) CloseHandle(pipe);
    pipe = INVALID_HANDLE_VALUE;
}

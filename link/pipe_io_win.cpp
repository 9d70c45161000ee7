// The panel's pipe ends, synchronous reads, and the errors that mean the other end is gone.
#include "link/pipe_io_win.h"

#include "link/pipe_client_win.h"

namespace {
// The local pipe's ends, then a remote pipe's network path: a session or connection that the
// network has dropped or timed out does not come back on the same handle.
constexpr DWORD kGoneErrors[] = {
    ERROR_NO_DATA,          ERROR_BROKEN_PIPE,         ERROR_PIPE_NOT_CONNECTED,
    ERROR_NETNAME_DELETED,  ERROR_UNEXP_NET_ERR,       ERROR_SEM_TIMEOUT,
    ERROR_VC_DISCONNECTED,  ERROR_NETWORK_UNREACHABLE, ERROR_BAD_NETPATH,
    ERROR_HOST_UNREACHABLE, ERROR_CONNECTION_ABORTED,  ERROR_NO_NETWORK,
    ERROR_REM_NOT_LIST,     ERROR_DEV_NOT_EXIST,       ERROR_BAD_NET_RESP,
};
}  // namespace

namespace pipe_io {

bool IsPipeGone(DWORD error) {
    for (DWORD gone : kGoneErrors)
        if (error == gone) return true;
    return false;
}

connect_logic::PipeHandle OpenPipe(const char* name, connect_logic::PipeAccess access) {
    HANDLE pipe = pipe_client::Open(name, access);
    return pipe == INVALID_HANDLE_VALUE ? nullptr : pipe;
}

void ClosePipe(connect_logic::PipeHandle pipe) {
    if (pipe) CloseHandle(pipe);
}

}  // namespace pipe_io

bool PipeReadSource::Read(uint8_t* buf, uint32_t capacity, uint32_t* got) {
    DWORD n = 0;
    const BOOL ok = ReadFile(pipe_, buf, capacity, &n, nullptr);
    lastError_ = ok ? 0 : GetLastError();
    if (got) *got = ok ? n : 0;
    return ok != FALSE;
}

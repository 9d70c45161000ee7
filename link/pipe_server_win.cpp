// The server ends of the control's pipes, created with one set of flags.
#include "link/pipe_server_win.h"

namespace pipe_server {
namespace {
Creator g_creator = &CreateNamedPipeA;
}  // namespace

Creator UseCreator(Creator creator) {
    const Creator before = g_creator;
    g_creator = creator ? creator : &CreateNamedPipeA;
    return before;
}

HANDLE Create(const char* name, const EndShape& shape) {
    DWORD openMode = shape.access;
    if (shape.overlapped) openMode |= FILE_FLAG_OVERLAPPED;
    if (shape.firstInstance) openMode |= FILE_FLAG_FIRST_PIPE_INSTANCE;
    DWORD pipeMode = PIPE_WAIT | (shape.messages ? PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE
                                                 : PIPE_TYPE_BYTE | PIPE_READMODE_BYTE);
    if (!shape.allowRemote) pipeMode |= PIPE_REJECT_REMOTE_CLIENTS;
    return g_creator(name, openMode, pipeMode, 1, shape.outBuffer, shape.inBuffer, 0, nullptr);
}

std::string LocalName(connect_logic::PipeAccess side, int device) {
    char name[connect_logic::kPipeNameCapacity];
    connect_logic::FormatPipeName(side, nullptr, connect_logic::kLocalComputerPart, device, name);
    return name;
}

Listening Listen(HANDLE pipe, OVERLAPPED* overlapped) {
    if (overlapped) ResetEvent(overlapped->hEvent);
    if (ConnectNamedPipe(pipe, overlapped)) return Listening::Connected;
    const DWORD error = GetLastError();
    if (error == ERROR_IO_PENDING) return Listening::Pending;
    if (error == ERROR_PIPE_CONNECTED || error == ERROR_NO_DATA) {
        if (overlapped) SetEvent(overlapped->hEvent);
        return Listening::Connected;
    }
    return Listening::Failed;
}

}  // namespace pipe_server

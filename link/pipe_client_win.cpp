// The client ends of the control's pipes, opened with one set of rights and flags.
#include "link/pipe_client_win.h"

namespace pipe_client {
namespace {
FileOpener g_opener = &CreateFileA;
}  // namespace

FileOpener UseOpener(FileOpener opener) {
    const FileOpener before = g_opener;
    g_opener = opener ? opener : &CreateFileA;
    return before;
}

HANDLE Open(const char* name, connect_logic::PipeAccess access, DWORD extraFlags) {
    const OpenMode& mode = access == connect_logic::PipeAccess::Read ? kReadMode : kWriteMode;
    return g_opener(name, mode.rights, 0, nullptr, OPEN_EXISTING, mode.flags | extraFlags, nullptr);
}

}  // namespace pipe_client

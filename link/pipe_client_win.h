// How a client opens one end of a control's pipe pair: the panel, the headless panel and the
// tap's side towards the control all open through here, so the rights and the quality of
// service asked for have one home.
#pragma once
#include <windows.h>

#include "link/connect_logic.h"

namespace pipe_client {

// What one open asks of the system.
struct OpenMode {
    DWORD rights;
    DWORD flags;
};

// Identification only: whoever serves a pipe of that name may learn who the operator is, but
// cannot act as the operator. The command pipe is opened for writing data only: the generic
// write right includes FILE_APPEND_DATA, which on a pipe is the right to create instances, so a
// control would have to grant every user that right before a panel could connect.
constexpr DWORD kQualityOfService = SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION;
constexpr OpenMode kReadMode = {GENERIC_READ, kQualityOfService};
constexpr OpenMode kWriteMode = {FILE_WRITE_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE, kQualityOfService};

// CreateFileA's shape; tests replace it to see what an open asks for.
using FileOpener = HANDLE(WINAPI*)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
// Returns the opener used before.
FileOpener UseOpener(FileOpener opener);

// The existing pipe `name`, not shared; INVALID_HANDLE_VALUE with the error in GetLastError.
HANDLE Open(const char* name, connect_logic::PipeAccess access, DWORD extraFlags = 0);

}  // namespace pipe_client

// How a server offers one end of a control's pipe pair: the simulator, the tap, the tests' peers
// and the bench all create and listen through here, so the names, the flags and the refusal of
// remote clients have one home.
#pragma once
#include <windows.h>

#include <string>

#include "link/connect_logic.h"

namespace pipe_server {

// What one end is; the remaining flags are those of a byte pipe with blocking waits and one instance.
struct EndShape {
    DWORD access;  // PIPE_ACCESS_INBOUND, PIPE_ACCESS_OUTBOUND or PIPE_ACCESS_DUPLEX
    DWORD outBuffer = 4096;
    DWORD inBuffer = 4096;
    bool overlapped = true;
    bool firstInstance = false;  // refused while another server offers the name
    bool messages = false;       // each write of the client a message of its own
    // Clients on other computers are refused unless this says otherwise (the panel at the plant
    // connects to the control over the network; the tools and tests serve this computer).
    bool allowRemote = false;
};

// CreateNamedPipeA's shape; tests replace it to see what a server asks for.
using Creator = HANDLE(WINAPI*)(LPCSTR, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, LPSECURITY_ATTRIBUTES);
// Returns the creator used before; null restores the system's.
Creator UseCreator(Creator creator);

// The server end `name`; INVALID_HANDLE_VALUE with the error in GetLastError.
HANDLE Create(const char* name, const EndShape& shape);

// The name of a device's pipe on this computer, as the panel opens it.
std::string LocalName(connect_logic::PipeAccess side, int device);

enum class Listening { Connected, Pending, Failed };
// Starts the wait for a client (overlapped given: its event is set on completion) or waits for
// it (null: blocks). A client that opened first, even one that closed again since, is a
// connection. Failed: the error is in GetLastError.
Listening Listen(HANDLE pipe, OVERLAPPED* overlapped);

}  // namespace pipe_server

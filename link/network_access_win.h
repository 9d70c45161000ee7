// Network access to a remote computer itself (no share): connecting, cancelling, and whether
// this logon already had a connection there, each through calls that tests replace.
#pragma once
#include <windows.h>
#include <winnetwk.h>

namespace network_access {
// The platform's connection call for the remote computer (no share); user and password null
// mean the current user's rights. The credentials are wide, as typed. Returns a Win32 error
// code, NO_ERROR on success.
using Connector = DWORD (*)(HWND owner, const char* remoteName, const wchar_t* password, const wchar_t* user);
DWORD Connect(HWND owner, const char* remoteName, const wchar_t* password, const wchar_t* user);
// Ends a connection this program made, unless files are open on it (not forced).
using Canceller = DWORD (*)(const char* remoteName);
DWORD Cancel(const char* remoteName);

// The platform's listing of this logon's connections; a member is null when it is unavailable.
struct ConnectionList {
    decltype(&WNetOpenEnumW) open;
    decltype(&WNetEnumResourceW) next;
    decltype(&WNetCloseEnum) close;
};
ConnectionList SystemConnectionList();

// Whether the list holds a connection to the computer of remoteName ("\\HOST"): listed as
// "\\HOST" or, as Windows lists one without a share, "\\HOST\IPC$"; letters in either case.
// True when it cannot tell, so that a connection of unknown origin is never cancelled.
bool ConnectionExists(const char* remoteName, const ConnectionList& list);
using ExistenceQuery = bool (*)(const char* remoteName);
bool ConnectionExists(const char* remoteName);  // with the system's list

// The three calls together; tests replace them.
struct Network {
    Connector connect;
    Canceller cancel;
    ExistenceQuery exists;
};
constexpr Network kSystemNetwork = {&Connect, &Cancel, &ConnectionExists};

constexpr int kCredentialCapacity = 257;  // the platform's longest user name or password and a NUL
}  // namespace network_access

// The Enter Network Password dialog: user name and password for the remote computer itself,
// retried until access is granted or the operator cancels.
#pragma once
#include <windows.h>

#include "support/dialog_win.h"

namespace network_access {
// The platform's connection call for the remote computer (no share); user and password null
// mean the current user's rights. The credentials are wide, as typed. Returns a Win32 error
// code, NO_ERROR on success.
using Connector = DWORD (*)(HWND owner, const char* remoteName, const wchar_t* password, const wchar_t* user);
DWORD Connect(HWND owner, const char* remoteName, const wchar_t* password, const wchar_t* user);
// Ends a connection this program made, unless files are open on it (not forced).
using Canceller = DWORD (*)(const char* remoteName);
DWORD Cancel(const char* remoteName);
// Whether this logon already has a connection to exactly that name; true when it cannot tell.
using ExistenceQuery = bool (*)(const char* remoteName);
bool ConnectionExists(const char* remoteName);

// The three calls together; tests replace them.
struct Network {
    Connector connect;
    Canceller cancel;
    ExistenceQuery exists;
};
constexpr Network kSystemNetwork = {&Connect, &Cancel, &ConnectionExists};

constexpr int kCredentialCapacity = 257;  // the platform's longest user name or password and a NUL
}  // namespace network_access

class NetworkPasswordDialog : public Dialog {
    QV_DECLARE_MESSAGE_MAP()
public:
    NetworkPasswordDialog(HWND parent, const char* remoteName,
                          network_access::Connector connector = &network_access::Connect);

    // Wiped after every attempt; exposed so that the wipe can be checked.
    const wchar_t* PasswordBuffer() const { return password_; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    LRESULT OnDestroy(WPARAM, LPARAM);
    void WipePasswordField();
    void WipeCredentials();

    const char* remoteName_;
    network_access::Connector connector_;
    wchar_t user_[network_access::kCredentialCapacity] = {};
    wchar_t password_[network_access::kCredentialCapacity] = {};
};

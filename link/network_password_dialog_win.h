// The Enter Network Password dialog: user name and password for the remote computer itself,
// retried until access is granted or the operator cancels.
#pragma once
#include <windows.h>

#include "link/network_access_win.h"
#include "support/dialog_win.h"

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

// The Enter Network Password dialog: one attempt per OK, the denial box and a fresh try, and
// no copy of the typed password left behind.
#include "link/network_password_dialog_win.h"

#include <winnetwk.h>

#include "link/link_text_win.h"
#include "res/resource_ids.h"
#include "support/system_dll_win.h"
#include "support/text_ids.h"

namespace network_access {

DWORD Connect(HWND owner, const char* remoteName, const char* password, const char* user) {
    NETRESOURCEA resource = {};
    resource.dwType = RESOURCETYPE_ANY;
    resource.lpRemoteName = const_cast<char*>(remoteName);
    auto add = system_dll::Function<decltype(&WNetAddConnection3A)>(system_dll::Dll::Network, "WNetAddConnection3A");
    return add ? add(owner, &resource, password, user, 0) : ERROR_NO_NETWORK;
}

}  // namespace network_access

QV_BEGIN_MESSAGE_MAP(NetworkPasswordDialog, Dialog)
QV_ON_MESSAGE(NetworkPasswordDialog, WM_DESTROY, OnDestroy)
QV_END_MESSAGE_MAP()

NetworkPasswordDialog::NetworkPasswordDialog(HWND parent, const char* remoteName,
                                             network_access::Connector connector)
    : Dialog(IDD_NETWORK_PASSWORD, parent), remoteName_(remoteName ? remoteName : ""), connector_(connector) {}

bool NetworkPasswordDialog::OnInitDialog() {
    SetDlgItemTextA(hwnd_, IDC_COMPUTER_NAME, remoteName_);
    SetFocus(Item(IDC_NET_USER));
    return false;
}

void NetworkPasswordDialog::OnOK() {
    GetDlgItemTextA(hwnd_, IDC_NET_USER, user_, sizeof(user_));
    GetDlgItemTextA(hwnd_, IDC_NET_PASSWORD, password_, sizeof(password_));
    const DWORD result = connector_ ? connector_(hwnd_, remoteName_, password_, user_) : ERROR_ACCESS_DENIED;
    WipeCredentials();
    if (result == NO_ERROR) {
        WipePasswordField();
        EndDialog(IDOK);
        return;
    }
    char text[128];
    char caption[128];
    MessageBoxA(hwnd_, link_text::Load(text_id::RemoteAccessDenied, text, sizeof(text)),
                link_text::Load(text_id::ApplicationName, caption, sizeof(caption)), MB_ICONEXCLAMATION | MB_OK);
    SetDlgItemTextA(hwnd_, IDC_NET_USER, "");
    WipePasswordField();
    SetFocus(Item(IDC_NET_USER));
}

LRESULT NetworkPasswordDialog::OnDestroy(WPARAM, LPARAM) {
    // Also on Cancel and on a close from outside: the field's text goes before the window.
    WipePasswordField();
    WipeCredentials();
    return Default();
}

void NetworkPasswordDialog::WipeCredentials() {
    SecureZeroMemory(password_, sizeof(password_));
    SecureZeroMemory(user_, sizeof(user_));
}

void NetworkPasswordDialog::WipePasswordField() {
    HWND field = Item(IDC_NET_PASSWORD);
    if (!field) return;
    // Overwriting with as many fillers first reuses the field's own storage for the text.
    const int length = GetWindowTextLengthA(field);
    if (length > 0) {
        char filler[network_access::kCredentialCapacity];
        const int n = length < static_cast<int>(sizeof(filler)) - 1 ? length : static_cast<int>(sizeof(filler)) - 1;
        FillMemory(filler, static_cast<SIZE_T>(n), '*');
        filler[n] = '\0';
        SetWindowTextA(field, filler);
    }
    SetWindowTextA(field, "");
}

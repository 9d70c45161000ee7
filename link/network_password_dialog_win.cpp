// The Enter Network Password dialog: one attempt per OK, the denial box and a fresh try, and
// no copy of the typed password left behind.
#include "link/network_password_dialog_win.h"

#include "link/link_text_win.h"
#include "res/resource_ids.h"
#include "support/text_ids.h"

QV_BEGIN_MESSAGE_MAP(NetworkPasswordDialog, Dialog)
QV_ON_MESSAGE(NetworkPasswordDialog, WM_DESTROY, OnDestroy)
QV_END_MESSAGE_MAP()

NetworkPasswordDialog::NetworkPasswordDialog(HWND parent, const char* remoteName,
                                             network_access::Connector connector)
    : Dialog(IDD_NETWORK_PASSWORD, parent), remoteName_(remoteName ? remoteName : ""), connector_(connector) {
    unicodeFields_ = true;
}

bool NetworkPasswordDialog::OnInitDialog() {
    SetDlgItemTextA(hwnd_, IDC_COMPUTER_NAME, remoteName_);
    SetFocus(Item(IDC_NET_USER));
    return false;
}

void NetworkPasswordDialog::OnOK() {
    GetDlgItemTextW(hwnd_, IDC_NET_USER, user_, network_access::kCredentialCapacity);
    GetDlgItemTextW(hwnd_, IDC_NET_PASSWORD, password_, network_access::kCredentialCapacity);
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
    SetDlgItemTextW(hwnd_, IDC_NET_USER, L"");
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
    const int length = GetWindowTextLengthW(field);
    if (length > 0) {
        wchar_t filler[network_access::kCredentialCapacity];
        const int n = length < network_access::kCredentialCapacity - 1 ? length : network_access::kCredentialCapacity - 1;
        for (int i = 0; i < n; ++i) filler[i] = L'*';
        filler[n] = L'\0';
        SetWindowTextW(field, filler);
    }
    SetWindowTextW(field, L"");
}

// The Enter Network Password dialog: one attempt per OK, the denial box and a fresh try, and
// no copy of the typed password left behind.
#include "link/network_password_dialog_win.h"

#include <winnetwk.h>

#include "link/link_text_win.h"
#include "res/resource_ids.h"
#include "support/system_dll_win.h"
#include "support/text_ids.h"

namespace network_access {

namespace {
constexpr int kWideNameCapacity = 64;

// The remote name as the wide calls take it; false when it does not fit.
bool Widen(const char* remoteName, wchar_t* out) {
    return remoteName && MultiByteToWideChar(CP_ACP, 0, remoteName, -1, out, kWideNameCapacity) > 0;
}
}  // namespace

DWORD Connect(HWND owner, const char* remoteName, const wchar_t* password, const wchar_t* user) {
    wchar_t name[kWideNameCapacity];
    if (!Widen(remoteName, name)) return ERROR_BAD_NET_NAME;
    NETRESOURCEW resource = {};
    resource.dwType = RESOURCETYPE_ANY;
    resource.lpRemoteName = name;
    auto add = system_dll::Function<decltype(&WNetAddConnection3W)>(system_dll::Dll::Network, "WNetAddConnection3W");
    return add ? add(owner, &resource, password, user, 0) : ERROR_NO_NETWORK;
}

DWORD Cancel(const char* remoteName) {
    wchar_t name[kWideNameCapacity];
    if (!Widen(remoteName, name)) return ERROR_BAD_NET_NAME;
    auto cancel =
        system_dll::Function<decltype(&WNetCancelConnection2W)>(system_dll::Dll::Network, "WNetCancelConnection2W");
    return cancel ? cancel(name, 0, FALSE) : ERROR_NO_NETWORK;
}

bool ConnectionExists(const char* remoteName) {
    wchar_t name[kWideNameCapacity];
    if (!Widen(remoteName, name)) return true;
    auto open = system_dll::Function<decltype(&WNetOpenEnumW)>(system_dll::Dll::Network, "WNetOpenEnumW");
    auto next = system_dll::Function<decltype(&WNetEnumResourceW)>(system_dll::Dll::Network, "WNetEnumResourceW");
    auto close = system_dll::Function<decltype(&WNetCloseEnum)>(system_dll::Dll::Network, "WNetCloseEnum");
    HANDLE connections = nullptr;
    if (!open || !next || !close || open(RESOURCE_CONNECTED, RESOURCETYPE_ANY, 0, nullptr, &connections) != NO_ERROR)
        return true;
    bool found = false;
    bool complete = false;
    alignas(NETRESOURCEW) char buffer[16384];
    for (;;) {
        DWORD count = static_cast<DWORD>(-1);
        DWORD size = sizeof buffer;
        const DWORD result = next(connections, &count, buffer, &size);
        if (result == ERROR_NO_MORE_ITEMS) complete = true;
        if (result != NO_ERROR) break;
        const auto* items = reinterpret_cast<const NETRESOURCEW*>(buffer);
        for (DWORD i = 0; i < count && !found; ++i)
            found = items[i].lpRemoteName && lstrcmpiW(items[i].lpRemoteName, name) == 0;
        if (found) break;
    }
    close(connections);
    return found || !complete;
}

}  // namespace network_access

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

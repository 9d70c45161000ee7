// Network access through the platform's networking DLL, loaded from the system folder, and the
// match of a listed connection against the remote computer's name.
#include "link/network_access_win.h"

#include "support/system_dll_win.h"

namespace network_access {

namespace {
constexpr int kWideNameCapacity = 64;
constexpr wchar_t kShareSeparator = L'\\';
constexpr wchar_t kIpcShare[] = L"IPC$";

// The remote name as the wide calls take it; false when it does not fit.
bool Widen(const char* remoteName, wchar_t* out) {
    return remoteName && MultiByteToWideChar(CP_ACP, 0, remoteName, -1, out, kWideNameCapacity) > 0;
}

wchar_t FoldAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// Compares the start of listed with prefix, ASCII letters in either case (computer names are
// ASCII; no locale's case rules apply); returns the rest of listed, or null when it differs.
const wchar_t* AfterPrefix(const wchar_t* listed, const wchar_t* prefix) {
    for (; *prefix; ++listed, ++prefix)
        if (FoldAscii(*listed) != FoldAscii(*prefix)) return nullptr;
    return listed;
}

bool SameText(const wchar_t* listed, const wchar_t* text) {
    const wchar_t* rest = AfterPrefix(listed, text);
    return rest && *rest == L'\0';
}

bool ListsComputer(const wchar_t* listed, const wchar_t* remoteName) {
    const wchar_t* rest = listed ? AfterPrefix(listed, remoteName) : nullptr;
    if (!rest) return false;
    if (*rest == L'\0') return true;
    return *rest == kShareSeparator && SameText(rest + 1, kIpcShare);
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

ConnectionList SystemConnectionList() {
    return {system_dll::Function<decltype(&WNetOpenEnumW)>(system_dll::Dll::Network, "WNetOpenEnumW"),
            system_dll::Function<decltype(&WNetEnumResourceW)>(system_dll::Dll::Network, "WNetEnumResourceW"),
            system_dll::Function<decltype(&WNetCloseEnum)>(system_dll::Dll::Network, "WNetCloseEnum")};
}

bool ConnectionExists(const char* remoteName, const ConnectionList& list) {
    wchar_t name[kWideNameCapacity];
    if (!Widen(remoteName, name)) return true;
    HANDLE connections = nullptr;
    if (!list.open || !list.next || !list.close ||
        list.open(RESOURCE_CONNECTED, RESOURCETYPE_ANY, 0, nullptr, &connections) != NO_ERROR)
        return true;
    bool found = false;
    bool complete = false;
    alignas(NETRESOURCEW) char buffer[16384];
    while (!found) {
        DWORD count = static_cast<DWORD>(-1);
        DWORD size = sizeof buffer;
        const DWORD result = list.next(connections, &count, buffer, &size);
        if (result == ERROR_NO_MORE_ITEMS) complete = true;
        if (result != NO_ERROR) break;
        const auto* items = reinterpret_cast<const NETRESOURCEW*>(buffer);
        for (DWORD i = 0; i < count && !found; ++i) found = ListsComputer(items[i].lpRemoteName, name);
    }
    list.close(connections);
    return found || !complete;
}

bool ConnectionExists(const char* remoteName) { return ConnectionExists(remoteName, SystemConnectionList()); }

}  // namespace network_access

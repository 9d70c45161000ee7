// About box data exchange and its registry access.
#include "support/about_dialog_win.h"

#include <cstring>
#include <new>

#include "res/resource_ids.h"
#include "support/text_ids.h"

AboutDialog::AboutDialog(HWND owner) : Dialog(IDD_ABOUT, owner) {}

void AboutDialog::Run(bool connectedLocally) {
    char notAvailable[64] = "Not available from remote";
    LoadStringA(GetModuleHandleA(nullptr), text_id::NotAvailableRemote, notAvailable, sizeof(notAvailable));
    Win32FootprintRegistry registry;
    footprint::Fill(connectedLocally, notAvailable, registry, texts_);
    DoModal();
}

void AboutDialog::DoDataExchange(DataExchange& dx) {
    dx.Text(IDC_ABOUT_COMPUTER, texts_.computerName, FootprintTexts::Size);
    dx.Text(IDC_ABOUT_PART_NUMBER, texts_.partNumber, FootprintTexts::Size);
    dx.Text(IDC_ABOUT_REVISION, texts_.revision, FootprintTexts::Size);
    dx.Text(IDC_ABOUT_DESCRIPTION, texts_.description, FootprintTexts::Size);
}

bool Win32FootprintRegistry::OpenOrCreate(const RegistryKey& key) {
    // RegCreateKey's own access, in the key's view (a 32-bit program is always in that view).
    const REGSAM view = key.view == RegistryKey::View::ThirtyTwoBit ? KEY_WOW64_32KEY : 0;
    return RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.path, 0, nullptr, REG_OPTION_NON_VOLATILE, MAXIMUM_ALLOWED | view,
                           nullptr, &key_, nullptr) == ERROR_SUCCESS;
}

void Win32FootprintRegistry::ReadText(const char* value, char* out) {
    out[0] = '\0';
    char buffer[FootprintTexts::Size + 1] = {};
    DWORD size = FootprintTexts::Size;
    const LONG rc = RegQueryValueExA(key_, value, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    if (rc == ERROR_MORE_DATA) {
        // Too long for the field: read it whole and show its first 49 characters.
        DWORD needed = 0;
        RegQueryValueExA(key_, value, nullptr, nullptr, nullptr, &needed);
        char* whole = new (std::nothrow) char[needed + 1]();
        if (!whole) return;
        DWORD got = needed;
        if (RegQueryValueExA(key_, value, nullptr, nullptr, reinterpret_cast<BYTE*>(whole), &got) == ERROR_SUCCESS)
            std::strncpy(out, whole, FootprintTexts::Size - 1);
        delete[] whole;
    } else if (rc == ERROR_SUCCESS) {
        std::strncpy(out, buffer, FootprintTexts::Size - 1);
    }
    out[FootprintTexts::Size - 1] = '\0';
}

void Win32FootprintRegistry::Close() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
}

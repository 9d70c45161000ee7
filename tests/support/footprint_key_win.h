// Test helper: the control's footprint key (the About box reads it) with values in one registry
// view only; the key is removed from both views before and after.
#pragma once
#include <windows.h>

#include <string>

class FootprintInOneView {
public:
    explicit FootprintInOneView(REGSAM view) {
        Remove();
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kControlKey, 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key_,
                        nullptr);
    }
    ~FootprintInOneView() {
        if (key_) RegCloseKey(key_);
        Remove();
    }
    FootprintInOneView(const FootprintInOneView&) = delete;
    FootprintInOneView& operator=(const FootprintInOneView&) = delete;
    bool Ok() const { return key_ != nullptr; }
    void Set(const char* name, const std::string& value) {
        RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    }

private:
    static constexpr char kControlKey[] = "SOFTWARE\\Halvorne\\Ventra";
    static void Remove() {
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kControlKey, view, 0);
    }
    HKEY key_ = nullptr;
};

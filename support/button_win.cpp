// Framework push button: class copy of "BUTTON" and the state messages.
#include "support/button_win.h"

QV_IMPLEMENT_RUNTIME_CLASS(CButton, Window::classWindow)

namespace {
WNDPROC SystemButtonProcedure() {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    return GetClassInfoExA(nullptr, "BUTTON", &wc) ? wc.lpfnWndProc : nullptr;
}
}  // namespace

bool CButton::RegisterDerivedClass(const char* className, UINT removedStyles) {
    if (IsClassRegistered(className)) return true;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExA(nullptr, "BUTTON", &wc)) return false;
    wc.style &= ~removedStyles;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    wc.lpszMenuName = nullptr;
    return RegisterClass(wc);
}

bool CButton::Create(const char* className, DWORD style, const RECT& rect, HWND parent, UINT id) {
    WNDPROC base = SystemButtonProcedure();
    if (!base) return false;
    SetBaseProcedure(base);
    return CreateEx(0, className, "", style | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

UINT CButton::GetState() const {
    return hwnd_ ? static_cast<UINT>(SendMessageA(hwnd_, BM_GETSTATE, 0, 0)) : 0;
}

void CButton::SetState(bool pushed) {
    if (hwnd_) SendMessageA(hwnd_, BM_SETSTATE, pushed ? TRUE : FALSE, 0);
}

// Framework push button: a window of a class copied from the system class "BUTTON", whose
// procedure stays the base processing of every message the derived class does not take.
#pragma once
#include <windows.h>

#include "support/window_win.h"

class CButton : public Window {
    QV_DECLARE_RUNTIME_CLASS(CButton)
public:
    // Registers className as a copy of "BUTTON" without removedStyles, unless a class of that
    // name is registered already (the first button registers it, the others find it).
    static bool RegisterDerivedClass(const char* className, UINT removedStyles);

    bool Create(const char* className, DWORD style, const RECT& rect, HWND parent, UINT id);

    // The highlight state: BST_PUSHED is the pushed look.
    UINT GetState() const;
    void SetState(bool pushed);
};

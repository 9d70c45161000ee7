// Test helper: an owner window for the service tests that records close requests and cursor requests and, on
// request, raises a report from inside whatever modal loop dispatches to it.
#pragma once
#include <windows.h>

#include <functional>

#include "support/status_bar_win.h"
#include "support/window_win.h"

class ServicesTestWindow : public Window {
    QV_DECLARE_MESSAGE_MAP()
public:
    static constexpr UINT RunAction = WM_APP + 1;

    bool Create();
    // Adds a status bar with three panes.
    bool CreateStatusBar();

    StatusBar statusBar;
    int closeRequests = 0;
    int cursorRequests = 0;
    std::function<void()> action;

    LRESULT OnSysCommand(WPARAM w, LPARAM l);
    LRESULT OnRunAction(WPARAM, LPARAM);
    LRESULT OnSetCursor(WPARAM, LPARAM);
};

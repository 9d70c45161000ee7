// The owner window of the service tests.
#include "services_test_window_win.h"

QV_BEGIN_MESSAGE_MAP(ServicesTestWindow, Window)
QV_ON_MESSAGE(ServicesTestWindow, WM_SYSCOMMAND, OnSysCommand)
QV_ON_MESSAGE(ServicesTestWindow, RunAction, OnRunAction)
QV_ON_MESSAGE(ServicesTestWindow, WM_SETCURSOR, OnSetCursor)
QV_END_MESSAGE_MAP()

bool ServicesTestWindow::Create() {
    if (!IsClassRegistered("ServicesTestWindow")) {
        WNDCLASSEXA wc = {};
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ServicesTestWindow";
        wc.hCursor = LoadCursorA(nullptr, IDC_CROSS);
        RegisterClass(wc);
    }
    return CreateEx(0, "ServicesTestWindow", "Services Test", WS_OVERLAPPEDWINDOW, 10, 10, 400, 200,
                    nullptr, nullptr);
}

bool ServicesTestWindow::CreateStatusBar() {
    if (!statusBar.Create(hwnd_, 59393, 96)) return false;
    const char* samples[3] = {"", "WWWWWWWWWWWW", "Connected to device 99"};
    statusBar.SetPanes(samples, 3);
    return true;
}

LRESULT ServicesTestWindow::OnSysCommand(WPARAM w, LPARAM l) {
    // Recorded, never acted on: the test window stays.
    if ((w & 0xFFF0) == SC_CLOSE && l == 0) {
        ++closeRequests;
        return 0;
    }
    return Default();
}

LRESULT ServicesTestWindow::OnRunAction(WPARAM, LPARAM) {
    if (action) action();
    return 0;
}

LRESULT ServicesTestWindow::OnSetCursor(WPARAM, LPARAM) {
    ++cursorRequests;
    return Default();
}

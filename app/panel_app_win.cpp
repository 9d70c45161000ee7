// Start-up order: frame object, its window, show and connect, then the message loop with the
// accelerator table (Ctrl+O, Ctrl+P and Ctrl+S are consumed before the keyboard bindings).
#include "app/panel_app_win.h"

#include <new>

#include "app/frame_win.h"
#include "res/resource_ids.h"
#include "support/end_status.h"

namespace {
// Nothing can show why: only the exit status tells.
bool NoWindow() {
    end_status::Mark(end_status::NoWindow);
    return false;
}
}  // namespace

bool PanelApp::Start(int showState) {
    Frame* frame = new (std::nothrow) Frame();
    if (!frame) return NoWindow();
    // Without the services the constructor made nothing further; no connection is possible.
    if (!frame->Link()) {
        delete frame;
        return NoWindow();
    }
    if (!frame->CreateMainWindow()) {
        delete frame;
        return NoWindow();
    }
    HWND window = frame->Handle();
    accelerators_ = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    frame->ShowAndConnect(showState);
    // A close handled inside one of its modal loops has deleted the frame: the process ends.
    if (!IsWindow(window)) return false;
    mainWindow_ = frame;
    mainHandle_ = window;
    return true;
}

Frame* PanelApp::MainWindow() const { return mainHandle_ && IsWindow(mainHandle_) ? mainWindow_ : nullptr; }

int PanelApp::Run() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        // Messages still queued when the window went are dispatched after the frame deleted itself.
        if (mainHandle_ && !IsWindow(mainHandle_)) mainHandle_ = nullptr;
        if (mainHandle_ && accelerators_ && TranslateAcceleratorA(mainHandle_, accelerators_, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    mainWindow_ = nullptr;
    mainHandle_ = nullptr;
    return static_cast<int>(msg.wParam);
}

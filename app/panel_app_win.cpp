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
    return true;
}

int PanelApp::Run() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        HWND main = mainWindow_ ? mainWindow_->Handle() : nullptr;
        if (main && accelerators_ && TranslateAcceleratorA(main, accelerators_, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    mainWindow_ = nullptr;
    return static_cast<int>(msg.wParam);
}

// The application object: starts the one main window and runs the message loop.
#pragma once
#include <windows.h>

class Frame;

class PanelApp {
public:
    // The start-up step: false ends the process at once.
    bool Start(int showState);
    // Runs until the main window is destroyed; the process's exit code.
    int Run();

    // The frame while its window exists, else null.
    Frame* MainWindow() const;

private:
    // The frame deletes itself with its window: only the handle is kept, and the frame is reached
    // through it only while that window still exists.
    Frame* mainWindow_ = nullptr;
    HWND mainHandle_ = nullptr;
    HACCEL accelerators_ = nullptr;
};

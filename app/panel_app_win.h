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

    Frame* MainWindow() const { return mainWindow_; }

private:
    Frame* mainWindow_ = nullptr;
    HACCEL accelerators_ = nullptr;
};

// Entry point of quorvex.exe.
#include <windows.h>

#include "app/panel_app_win.h"
#include "support/system_dll_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showState) {
    system_dll::RestrictSearchPath();
    PanelApp app;
    if (!app.Start(showState)) return 0;
    return app.Run();
}

// Entry point of quorvex.exe. Its exit status says how the panel ended (support/end_status.h).
#include <windows.h>

#include "app/panel_app_win.h"
#include "support/end_status.h"
#include "support/system_dll_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showState) {
    system_dll::RestrictSearchPath();
    PanelApp app;
    if (app.Start(showState)) app.Run();
    return end_status::Current();
}

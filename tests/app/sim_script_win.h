// quorvex-sim.exe playing a script against the panel: the simulator harness's process (tied to
// the test process, watched, its output kept for failure messages) on a temporary script.
#pragma once
#include <windows.h>

#include <string>

#include "tests/tools/sim_client_win.h"

class SimScript {
public:
    // The whole run is limited to timeoutMs by the simulator itself.
    SimScript(const std::string& script, int device = 2, DWORD timeoutMs = 20000)
        : script_(script),
          sim_("sim", "--device " + std::to_string(device) + " --timeout " + std::to_string(timeoutMs) + " --script \"" +
               script_.Path() + "\"") {
        Sleep(300);  // until its pipes are offered
    }
    bool Started() const { return sim_.Started(); }
    // Exit code once ended within the time (0: every expectation held), or -1.
    int WaitExit(DWORD timeoutMs) { return sim_.WaitExit(timeoutMs); }
    std::string Output() const { return sim_.Output(); }

private:
    TempScript script_;
    ToolProcess sim_;
};

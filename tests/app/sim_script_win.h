// quorvex-sim.exe playing a script against the panel: started from its own folder, its console
// output kept for the failure message, ended by the destructor whatever happened, by its
// watchdog when it runs too long, and with the test process should that end first.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "tests/support/watchdog_win.h"

class SimScript {
public:
    // The whole run is limited to timeoutMs by the simulator itself.
    SimScript(const std::string& script, int device = 2, DWORD timeoutMs = 20000);
    ~SimScript();
    bool Started() const { return process_ != nullptr; }
    // Exit code once ended within the time (0: every expectation held), or -1.
    int WaitExit(DWORD timeoutMs);
    // What the simulator printed, for failure messages.
    std::string Output() const;

private:
    HANDLE process_ = nullptr;
    std::string scriptPath_;
    std::string outputPath_;
    std::unique_ptr<Watchdog> watchdog_;
};

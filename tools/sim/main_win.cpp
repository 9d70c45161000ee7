// quorvex-sim.exe: a substitute control application for the Quorvex panel.
#include <cstdio>

#include "support/system_dll_win.h"

#include "tools/sim/console_win.h"
#include "tools/sim/options.h"

int main(int argc, char** argv) {
    system_dll::RestrictSearchPath();
    SimOptions options;
    const int answered = AnswerCommandLine(ParseOptions(argc, argv, options), "quorvex-sim", UsageText(), stdout, stderr);
    if (answered >= 0) return answered;
    if (!options.replayPath.empty()) return RunReplay(options);
    return options.scriptPath.empty() ? RunController(options) : RunScript(options);
}

// quorvex-sim.exe: a substitute control application for the Quorvex panel.
#include <cstdio>

#include "tools/sim/console_win.h"
#include "tools/sim/options.h"
#include "tools/common/texts.h"

int main(int argc, char** argv) {
    SimOptions options;
    std::string detail;
    unsigned id = ParseOptions(argc, argv, options, detail);
    if (id != tool_text::Ok) {
        std::fprintf(stderr, "quorvex-sim: %s: %s\n%s", detail.c_str(), tool_text::Text(id), UsageText());
        return 2;
    }
    if (options.help) {
        std::fputs(UsageText(), stdout);
        return 0;
    }
    if (!options.replayPath.empty()) return RunReplay(options);
    return options.scriptPath.empty() ? RunController(options) : RunScript(options);
}

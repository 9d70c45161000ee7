// quorvex-tap.exe: sits between a panel and its control application on this computer.
#include <cstdio>

#include "support/system_dll_win.h"

#include "tools/common/command_line.h"
#include "tools/tap/tap_options.h"
#include "tools/tap/tap_session_win.h"

int main(int argc, char** argv) {
    system_dll::RestrictSearchPath();
    TapOptions options;
    const int answered = AnswerCommandLine(ParseTapOptions(argc, argv, options), "quorvex-tap", TapUsage(), stdout, stderr);
    if (answered >= 0) return answered;
    return RunTap(options);
}

// quorvex-tap.exe: sits between a panel and its control application on this computer.
#include <cstdio>
#include <string>

#include "tools/common/texts.h"
#include "tools/tap/tap_options.h"
#include "tools/tap/tap_session_win.h"

int main(int argc, char** argv) {
    TapOptions options;
    std::string detail;
    const unsigned id = ParseTapOptions(argc, argv, options, detail);
    if (id != tool_text::Ok) {
        std::fprintf(stderr, "quorvex-tap: %s: %s\n%s", detail.c_str(), tool_text::Text(id), TapUsage());
        return 2;
    }
    if (options.help) {
        std::fputs(TapUsage(), stdout);
        return 0;
    }
    return RunTap(options);
}

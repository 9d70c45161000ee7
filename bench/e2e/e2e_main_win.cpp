// quorvex-e2e.exe: quorvex.exe measured from outside under Wine, against baselines of the same run.
//   quorvex-e2e run PANEL_DIR [--quick] [--keys-only] [--stream-mb N]   prints one JSON object of figures
//   quorvex-e2e stream|idle|paint PANEL_DIR SECONDS   a connected panel streamed into, left idle or
//                                                fully repainted in a loop (for a profiler or a trace)
//   quorvex-e2e drain DEVICE   the raw baseline: a client that only drains the pipe
//   quorvex-e2e stamp DEVICE   the pipe's floor: answers every read with the time of its answer
//   quorvex-e2e floor DEVICE X Y WIDTH HEIGHT TOKEN   the paint's and the display's floor (a bare
//                                                window; TOKEN names it among Linux's processes)
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/e2e/e2e_pipe_ends_win.h"
#include "bench/e2e/e2e_run_win.h"
#include "bench/e2e/e2e_watch_win.h"
#include "bench/e2e/floor_window_win.h"

namespace {
int RunFloor(int, char** argv) {
    return floor_window::Run(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                             std::atoi(argv[6]));
}

struct Program {
    const char* name;
    int minArgs;  // argc, the program's own name and its arguments included
    int maxArgs;
    int (*run)(int argc, char** argv);
};

constexpr Program kPrograms[] = {
    {"drain", 3, 3, &RunDrain},       {"stamp", 3, 3, &RunStamp},       {"floor", 8, 8, &RunFloor},
    {"run", 3, 1 << 30, &RunBenchmark}, {"stream", 4, 4, &WatchStream}, {"idle", 4, 4, &WatchIdle},
    {"paint", 4, 4, &WatchPaint},
};
}  // namespace

int main(int argc, char** argv) {
    for (const Program& program : kPrograms)
        if (argc >= program.minArgs && argc <= program.maxArgs && std::strcmp(argv[1], program.name) == 0)
            return program.run(argc, argv);
    std::fprintf(stderr, "usage: quorvex-e2e run PANEL_DIR [--quick] [--keys-only] [--stream-mb N] | "
                         "stream|idle|paint PANEL_DIR SECONDS | drain|stamp DEVICE | floor DEVICE X Y WIDTH HEIGHT TOKEN\n");
    return 2;
}

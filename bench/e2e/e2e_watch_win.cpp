// quorvex-e2e stream|idle|paint PANEL_DIR SECONDS: a connected panel streamed into, left idle
// or fully repainted in a loop, for a profiler or a trace watching from outside.
#include "bench/e2e/e2e_watch_win.h"

#include <cstdlib>

#include "bench/e2e/e2e_session_win.h"
#include "bench/streams.h"

namespace {
// Streams 1 KB writes into a connected panel for a while (for a profiler watching from outside).
int StreamOnly(const std::string& panelDir, DWORD seconds) {
    StartWatchdog();
    const std::vector<uint8_t> stream = bench_streams::LiveScreens(2000000);
    Panel panel(panelDir);
    Progress("streaming for %lu s", seconds);
    const int64_t start = bench_clock::Now();
    size_t sent = 0;
    while (bench_clock::Ms(bench_clock::Now() - start) < seconds * 1000.0) {
        TimeStream(panel.Peer(), stream, 1024);
        sent += stream.size();
    }
    Progress("%.2f MB/s", static_cast<double>(sent) / bench_clock::Ms(bench_clock::Now() - start) / 1000.0);
    return 0;
}

// Full paints of a connected panel, one after the other, for a while (for a profiler).
int PaintOnly(const std::string& panelDir, DWORD seconds) {
    StartWatchdog();
    Panel panel(panelDir);
    if (!panel.Peer().Write(FullLines())) Fail("the full lines could not be written");
    panel.Settle();
    Progress("painting for %lu s", seconds);
    const int64_t start = bench_clock::Now();
    int paints = 0;
    for (; bench_clock::Ms(bench_clock::Now() - start) < seconds * 1000.0; ++paints) TimePaint(panel.Frame());
    Progress("%.0f paints a second", paints * 1000.0 / bench_clock::Ms(bench_clock::Now() - start));
    return 0;
}

// A connected panel left without traffic for a while (for tracing from outside).
int IdleOnly(const std::string& panelDir, DWORD seconds) {
    StartWatchdog();
    Panel panel(panelDir);
    Progress("idle for %lu s", seconds);
    Sleep(seconds * 1000);
    return 0;
}
}  // namespace

int WatchStream(int, char** argv) { return StreamOnly(argv[2], std::atoi(argv[3])); }
int WatchIdle(int, char** argv) { return IdleOnly(argv[2], std::atoi(argv[3])); }
int WatchPaint(int, char** argv) { return PaintOnly(argv[2], std::atoi(argv[3])); }

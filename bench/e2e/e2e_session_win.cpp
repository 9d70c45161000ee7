// The figures, the children and the watchdog of a run, and the panel's and children's starts.
#include "bench/e2e/e2e_session_win.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "protocol/screen.h"
#include "tests/app/process_window_win.h"

namespace {
constexpr DWORD kWatchdogMs = 40 * 60 * 1000;

std::map<std::string, std::string> g_figures;  // name -> JSON value
HANDLE g_children[Children] = {};

DWORD WINAPI Watchdog(void*) {
    Sleep(kWatchdogMs);
    Fail("the run took longer than its limit");
}

}  // namespace

void Progress(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
}

void Figure(const std::string& name, double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", value);
    g_figures[name] = text;
}

void FigureBySize(const std::string& name, const std::map<int, double>& values) {
    std::string text = "{";
    for (const auto& [size, value] : values) {
        char item[64];
        std::snprintf(item, sizeof item, "%s\"%d\": %.3f", text.size() > 1 ? ", " : "", size, value);
        text += item;
    }
    g_figures[name] = text + "}";
}

int PrintFigures() {
    std::printf("{");
    const char* separator = "";
    for (const auto& [name, value] : g_figures) {
        std::printf("%s\"%s\": %s", separator, name.c_str(), value.c_str());
        separator = ", ";
    }
    std::printf("}\n");
    return 0;
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "quorvex-e2e: %s\n", what);
    for (HANDLE child : g_children)
        if (child) TerminateProcess(child, 99);
    ExitProcess(1);
}

void StartWatchdog() { CreateThread(nullptr, 0, &Watchdog, nullptr, 0, nullptr); }

void TrackChild(Child slot, HANDLE process) { g_children[slot] = process; }

std::string OwnDir() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of("\\/"));
}

HWND WaitForWindow(DWORD pid, const char* className) {
    for (int i = 0; i < 500; ++i) {
        if (HWND found = FindProcessWindow(pid, className, nullptr)) return found;
        Sleep(20);
    }
    return nullptr;
}

// Writes the whole stream in writes of `writeSize`, then the identification request; the time
// until "VFD" is back, in ms.
double TimeStream(BenchPeer& peer, const std::vector<uint8_t>& stream, int writeSize) {
    const size_t before = peer.Received();
    const int64_t start = bench_clock::Now();
    for (size_t at = 0; at < stream.size(); at += static_cast<size_t>(writeSize)) {
        const size_t n = std::min(stream.size() - at, static_cast<size_t>(writeSize));
        if (!peer.Write(stream.data() + at, n)) Fail("a stream write failed");
    }
    if (!peer.Write(&kIdentify, 1)) Fail("the identification request could not be written");
    const int64_t end = peer.WaitTotal(before + kAnswer.size(), 120000);
    if (!end || peer.ReceivedText().substr(before, kAnswer.size()) != kAnswer) Fail("no VFD after the stream");
    return bench_clock::Ms(end - start);
}

std::string FullLines() {
    std::string s;
    for (int row = 0; row < screen::Lines; ++row) {
        s += inbound::Address(row, 0);
        s += std::string(screen::Columns, static_cast<char>('A' + row));
    }
    return s;
}

double TimePaint(HWND window, UINT extra) {
    const int64_t t0 = bench_clock::Now();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | extra);
    return bench_clock::Ms(bench_clock::Now() - t0);
}

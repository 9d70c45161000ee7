// quorvex-e2e.exe: quorvex.exe measured from outside under Wine, against baselines of the same run.
//   quorvex-e2e run PANEL_DIR [--quick] [--stream-mb N]   prints one JSON object of figures
//   quorvex-e2e stream|idle PANEL_DIR SECONDS   a connected panel streamed into or left idle
//                                                (for a profiler or a trace from outside)
//   quorvex-e2e drain DEVICE   the raw baseline: a client that only drains the pipe
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "bench/e2e/bench_peer_win.h"
#include "bench/e2e/process_probe_win.h"
#include "bench/e2e/stats.h"
#include "bench/streams.h"
#include "tests/app/own_folder_start_win.h"
#include "tests/keypad/panel_input_win.h"

namespace {
constexpr int kPanelDevice = 2;
constexpr int kDrainDevice = 3;
constexpr uint8_t kIdentify = 0x1A;
constexpr DWORD kWaitMs = 20000;
constexpr DWORD kWatchdogMs = 40 * 60 * 1000;
constexpr int32_t kLineKeyId = 2011;  // the "1" key
constexpr int kWriteSizes[] = {64, 1024, 16384};

struct Settings {
    int repetitions = 5;
    size_t streamBytes = 20000000;
    int samplesPerKind = 40;
    DWORD cpuWindowMs = 10000;
};

std::map<std::string, std::string> g_figures;  // name -> JSON value
HANDLE g_children[2] = {};

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

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "quorvex-e2e: %s\n", what);
    for (HANDLE child : g_children)
        if (child) TerminateProcess(child, 99);
    ExitProcess(1);
}

DWORD WINAPI Watchdog(void*) {
    Sleep(kWatchdogMs);
    Fail("the run took longer than its limit");
}

std::string OwnDir() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir = path;
    return dir.substr(0, dir.find_last_of("\\/"));
}

struct FindFrame {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindFrameWindow(HWND h, LPARAM lParam) {
    auto* f = reinterpret_cast<FindFrame*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    char cls[32] = "";
    GetClassNameA(h, cls, sizeof cls);
    if (pid == f->pid && std::strcmp(cls, "QuorvexFrame") == 0 && IsWindowVisible(h)) {
        f->found = h;
        return FALSE;
    }
    return TRUE;
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
    const int64_t end = peer.WaitTotal(before + 3, 120000);
    if (!end || peer.ReceivedText().substr(before, 3) != "VFD") Fail("no VFD after the stream");
    return bench_clock::Ms(end - start);
}

double RawStream(const std::vector<uint8_t>& stream, int writeSize) {
    BenchPeer peer(kDrainDevice);
    if (!peer.Ok()) Fail("the drain's pipes could not be made");
    HANDLE drain = StartInOwnFolder(OwnDir(), "quorvex-e2e.exe drain " + std::to_string(kDrainDevice), nullptr);
    if (!drain) Fail("the drain did not start");
    g_children[1] = drain;
    if (!peer.Accept()) Fail("the drain did not connect");
    const double ms = TimeStream(peer, stream, writeSize);
    peer.Vanish();
    WaitForSingleObject(drain, 5000);
    CloseHandle(drain);
    g_children[1] = nullptr;
    return ms;
}

class Panel {
public:
    explicit Panel(const std::string& dir) : peer_(kPanelDevice) {
        if (!peer_.Ok()) Fail("the panel's pipes could not be made");
        token_ = "e2e-" + std::to_string(GetCurrentProcessId());
        process_ = StartInOwnFolder(dir, "quorvex.exe -l " + token_, &pid_);
        if (!process_) Fail("quorvex.exe did not start");
        g_children[0] = process_;
        if (!peer_.Accept()) Fail("the panel did not connect");
        if (!peer_.WaitTotal(3, kWaitMs) || peer_.ReceivedText() != "PPK") Fail("no PPK from the panel");
        for (int i = 0; i < 500 && !frame_; ++i) {
            FindFrame f = {pid_, nullptr};
            EnumWindows(&FindFrameWindow, reinterpret_cast<LPARAM>(&f));
            frame_ = f.found;
            if (!frame_) Sleep(20);
        }
        if (!frame_) Fail("no panel window");
        linuxPid_ = process_probe::FindLinuxPid(token_);
        if (!linuxPid_) Fail("the panel's Linux process was not found");
    }
    ~Panel() {
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 99);
        CloseHandle(process_);
        g_children[0] = nullptr;
    }

    BenchPeer& Peer() { return peer_; }
    HWND Frame() const { return frame_; }
    HANDLE Process() const { return process_; }
    DWORD Pid() const { return pid_; }
    int64_t CpuMs() const { return process_probe::CpuMs(linuxPid_); }

    // Until everything sent so far has been decoded.
    void Settle() {
        const size_t before = peer_.Received();
        if (!peer_.Write(&kIdentify, 1) || !peer_.WaitTotal(before + 3, kWaitMs)) Fail("the panel did not answer");
    }

private:
    BenchPeer peer_;
    std::string token_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    HWND frame_ = nullptr;
    int linuxPid_ = 0;
};

// CPU ms of the panel per 10 s, one figure per window.
std::vector<double> CpuWindows(Panel& panel, const Settings& s) {
    std::vector<double> per10s;
    for (int i = 0; i < s.repetitions; ++i) {
        const int64_t c0 = panel.CpuMs();
        const int64_t t0 = bench_clock::Now();
        Sleep(s.cpuWindowMs);
        const int64_t c1 = panel.CpuMs();
        const double wall = bench_clock::Ms(bench_clock::Now() - t0);
        per10s.push_back(static_cast<double>(c1 - c0) * 10000.0 / wall);
    }
    return per10s;
}

std::string FullLines() {
    std::string s;
    for (int row = 0; row < 20; ++row) {
        s += static_cast<char>(0x80 | row);
        s += static_cast<char>(0x80);
        s += std::string(40, static_cast<char>('A' + row));
    }
    return s;
}

// p99 of the paint's time, and (in *cpuMs) the panel's CPU per paint: on a loaded machine the
// time includes waiting for a core, the CPU does not.
double PaintP99(Panel& panel, const Settings& s, double* cpuMs) {
    if (!panel.Peer().Write(FullLines())) Fail("the full lines could not be written");
    panel.Settle();
    const int64_t cpuBefore = panel.CpuMs();
    std::vector<double> p99s;
    for (int rep = 0; rep < s.repetitions; ++rep) {
        std::vector<double> ms;
        for (int i = 0; i < 100; ++i) {
            const int64_t t0 = bench_clock::Now();
            // UPDATENOW sends WM_PAINT and waits for it, across processes too.
            RedrawWindow(panel.Frame(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            ms.push_back(bench_clock::Ms(bench_clock::Now() - t0));
        }
        p99s.push_back(bench_stats::Percentile(ms, 99));
    }
    *cpuMs = static_cast<double>(panel.CpuMs() - cpuBefore) / (100.0 * s.repetitions);
    return bench_stats::Median(p99s);
}

struct Probe {
    const char* kind;
    std::function<void()> act;
    size_t bytes;
};

// One latency in ms: from the input until its `bytes` arrived at the peer; 0 when they did not
// arrive within the wait.
double Latency(Panel& panel, const Probe& probe) {
    const size_t before = panel.Peer().Received();
    const int64_t t0 = bench_clock::Now();
    probe.act();
    const int64_t t1 = panel.Peer().WaitTotal(before + probe.bytes, kWaitMs);
    return t1 ? bench_clock::Ms(t1 - t0) : 0;
}

// p99 of each repetition (all kinds of input mixed) and all samples. An input not answered
// within the wait ends the measurement: its late bytes would be taken for the next input's.
struct LatencyFigures {
    std::vector<double> p99PerRep;
    std::vector<double> all;
    std::map<std::string, std::vector<double>> byKind;
    bool lost = false;
};

LatencyFigures KeyLatencies(Panel& panel, const Settings& s) {
    HWND frame = panel.Frame();
    const POINT key = panel_input::KeyCenter(frame, kLineKeyId);
    const LPARAM line3 = MAKELPARAM(20, 13 + 3 * 15 + 7);
    const std::vector<Probe> probes = {
        {"posted key-down", [frame] {
             PostMessageA(frame, WM_KEYDOWN, '1', 1);
             PostMessageA(frame, WM_KEYUP, '1', 0xC0000001);
         }, 1},
        {"key click", [] {
             panel_input::ButtonDown();
             panel_input::ButtonUp();
         }, 1},
        {"line click", [frame, line3] {
             PostMessageA(frame, WM_LBUTTONDOWN, MK_LBUTTON, line3);
             PostMessageA(frame, WM_LBUTTONUP, 0, line3);
         }, 3},
    };
    SetForegroundWindow(frame);
    // Once, outside the timing: the move waits until the pointer shows there.
    panel_input::MoveTo(key);
    LatencyFigures f;
    for (int rep = 0; rep < s.repetitions && !f.lost; ++rep) {
        std::vector<double> ms;
        for (int i = 0; i < s.samplesPerKind && !f.lost; ++i)
            for (const Probe& p : probes) {
                const double latency = Latency(panel, p);
                if (latency == 0) {
                    Progress("%s: no answer within %lu ms", p.kind, kWaitMs);
                    f.lost = true;
                    break;
                }
                ms.push_back(latency);
                f.byKind[p.kind].push_back(latency);
                if (latency > 50) Progress("slow: %s %.1f ms (repetition %d, sample %d)", p.kind, latency, rep, i);
                Sleep(5);
            }
        f.p99PerRep.push_back(f.lost ? kWaitMs : bench_stats::Percentile(ms, 99));
        f.all.insert(f.all.end(), ms.begin(), ms.end());
    }
    return f;
}

struct Flood {
    BenchPeer* peer;
    const std::vector<uint8_t>* stream;
    volatile LONG stop;
    size_t sent;
};

DWORD WINAPI FloodLoop(void* context) {
    auto* f = static_cast<Flood*>(context);
    constexpr size_t kChunk = 16384;
    size_t at = 0;
    while (!f->stop) {
        if (at + kChunk > f->stream->size()) at = 0;
        if (!f->peer->Write(f->stream->data() + at, kChunk)) break;
        at += kChunk;
        f->sent += kChunk;
    }
    return 0;
}

int RunAll(const std::string& panelDir, const Settings& s) {
    CreateThread(nullptr, 0, &Watchdog, nullptr, 0, nullptr);
    const std::vector<uint8_t> stream = bench_streams::LiveScreens(s.streamBytes);
    Panel panel(panelDir);
    const int64_t handlesBefore = process_probe::HandleCount(panel.Pid());

    Progress("idle CPU (%d x %lu ms)", s.repetitions, s.cpuWindowMs);
    Figure("idle_cpu_ms_per_10s", bench_stats::Median(CpuWindows(panel, s)));

    Progress("paint");
    double paintCpu = 0;
    Figure("paint_ms_p99", PaintP99(panel, s, &paintCpu));
    Figure("paint_cpu_ms", paintCpu);

    Progress("key latency, idle");
    const LatencyFigures idle = KeyLatencies(panel, s);
    Figure("key_latency_p99_ms", bench_stats::Median(idle.p99PerRep));
    Figure("key_latency_p50_ms", bench_stats::Percentile(idle.all, 50));
    for (const auto& [kind, ms] : idle.byKind) Figure("key_latency_max_ms " + kind, bench_stats::Percentile(ms, 100));

    Progress("key latency, flooded");
    Flood flood = {&panel.Peer(), &stream, 0, 0};
    HANDLE flooder = CreateThread(nullptr, 0, &FloodLoop, &flood, 0, nullptr);
    Sleep(200);
    const int64_t floodStart = bench_clock::Now();
    const LatencyFigures flooded = KeyLatencies(panel, s);
    const double floodMs = bench_clock::Ms(bench_clock::Now() - floodStart);
    InterlockedExchange(&flood.stop, 1);
    WaitForSingleObject(flooder, kWaitMs);
    CloseHandle(flooder);
    panel.Settle();
    Figure("flood_key_latency_p99_ms", bench_stats::Median(flooded.p99PerRep));
    Figure("flood_key_latency_p50_ms", bench_stats::Percentile(flooded.all, 50));
    for (const auto& [kind, ms] : flooded.byKind)
        Figure("flood_key_latency_max_ms " + kind, bench_stats::Percentile(ms, 100));
    Figure("flood_inputs_lost", flooded.lost ? 1 : 0);
    Figure("key_inputs_lost", idle.lost ? 1 : 0);
    Figure("flood_mbps", static_cast<double>(flood.sent) / floodMs / 1000.0);

    std::map<int, double> e2e, raw;
    double busyCpu = 0;
    for (int size : kWriteSizes) {
        std::vector<double> e2eMbps, rawMbps;
        const int64_t c0 = panel.CpuMs();
        double e2eWall = 0;
        for (int rep = 0; rep < s.repetitions; ++rep) {
            const double r = RawStream(stream, size);
            const double e = TimeStream(panel.Peer(), stream, size);
            e2eWall += e;
            rawMbps.push_back(static_cast<double>(stream.size()) / r / 1000.0);
            e2eMbps.push_back(static_cast<double>(stream.size()) / e / 1000.0);
            Progress("stream %5d B writes: raw %.1f MB/s, e2e %.1f MB/s", size, rawMbps.back(), e2eMbps.back());
        }
        // The panel is busy only while its own stream runs.
        if (size == 1024) busyCpu = static_cast<double>(panel.CpuMs() - c0) * 10000.0 / e2eWall;
        e2e[size] = bench_stats::Median(e2eMbps);
        raw[size] = bench_stats::Median(rawMbps);
    }
    FigureBySize("e2e_stream_mbps", e2e);
    FigureBySize("raw_pipe_mbps", raw);
    std::map<int, double> ratio;
    for (int size : kWriteSizes) ratio[size] = e2e[size] / raw[size];
    FigureBySize("e2e_to_raw", ratio);
    Figure("busy_cpu_ms_per_10s", busyCpu);
    Figure("peak_working_set_mb", static_cast<double>(process_probe::PeakWorkingSet(panel.Process())) / 1e6);
    Figure("handles_before", static_cast<double>(handlesBefore));
    Figure("handles_after", static_cast<double>(process_probe::HandleCount(panel.Pid())));

    Progress("broken pipe CPU (%d x %lu ms)", s.repetitions, s.cpuWindowMs);
    panel.Peer().Vanish();
    Sleep(500);
    Figure("broken_pipe_cpu_ms_per_10s", bench_stats::Median(CpuWindows(panel, s)));
    const int64_t closeStart = bench_clock::Now();
    PostMessageA(panel.Frame(), WM_CLOSE, 0, 0);
    if (WaitForSingleObject(panel.Process(), kWaitMs) != WAIT_OBJECT_0) Fail("the panel did not end after WM_CLOSE");
    Figure("broken_pipe_close_ms", bench_clock::Ms(bench_clock::Now() - closeStart));

    std::printf("{");
    const char* separator = "";
    for (const auto& [name, value] : g_figures) {
        std::printf("%s\"%s\": %s", separator, name.c_str(), value.c_str());
        separator = ", ";
    }
    std::printf("}\n");
    return 0;
}

// Streams 1 KB writes into a connected panel for a while (for a profiler watching from outside).
int StreamOnly(const std::string& panelDir, DWORD seconds) {
    CreateThread(nullptr, 0, &Watchdog, nullptr, 0, nullptr);
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

// A connected panel left without traffic for a while (for tracing from outside).
int IdleOnly(const std::string& panelDir, DWORD seconds) {
    CreateThread(nullptr, 0, &Watchdog, nullptr, 0, nullptr);
    Panel panel(panelDir);
    Progress("idle for %lu s", seconds);
    Sleep(seconds * 1000);
    return 0;
}

// Reads like the panel's reader (blocks of 2048 bytes) and answers an identification request.
int Drain(int device) {
    const std::string read = "\\\\.\\pipe\\QuorvexRead" + std::to_string(device);
    const std::string write = "\\\\.\\pipe\\QuorvexWrite" + std::to_string(device);
    HANDLE in = CreateFileA(read.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE out = CreateFileA(write.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE || out == INVALID_HANDLE_VALUE) return 2;
    uint8_t block[2048];
    DWORD n = 0;
    while (ReadFile(in, block, sizeof block, &n, nullptr)) {
        if (std::memchr(block, kIdentify, n)) WriteFile(out, "VFD", 3, &n, nullptr);
    }
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "drain") == 0) return Drain(std::atoi(argv[2]));
    if (argc >= 3 && std::strcmp(argv[1], "run") == 0) {
        Settings s;
        for (int i = 3; i < argc; ++i) {
            if (std::strcmp(argv[i], "--quick") == 0) {
                s.repetitions = 2;
                s.streamBytes = 2000000;
                s.samplesPerKind = 10;
                s.cpuWindowMs = 2000;
            } else if (std::strcmp(argv[i], "--stream-mb") == 0 && i + 1 < argc) {
                s.streamBytes = static_cast<size_t>(std::atof(argv[++i]) * 1e6);
            }
        }
        Figure("stream_mb", static_cast<double>(s.streamBytes) / 1e6);
        Figure("repetitions", s.repetitions);
        return RunAll(argv[2], s);
    }
    if (argc == 4 && std::strcmp(argv[1], "stream") == 0) return StreamOnly(argv[2], std::atoi(argv[3]));
    if (argc == 4 && std::strcmp(argv[1], "idle") == 0) return IdleOnly(argv[2], std::atoi(argv[3]));
    std::fprintf(stderr, "usage: quorvex-e2e run PANEL_DIR [--quick] [--stream-mb N] | stream|idle PANEL_DIR SECONDS | drain DEVICE\n");
    return 2;
}

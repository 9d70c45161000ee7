// What the benchmark's programs share: the devices and texts of the runs, the figures printed
// as one JSON object, the children ended with a failed run, and the panel and the benchmark's
// own children on their pipe pairs.
#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "bench/e2e/bench_peer_win.h"
#include "bench/e2e/process_probe_win.h"
#include "bench/e2e/stats.h"
#include "protocol/command_table.h"
#include "protocol/inbound_table.h"
#include "tests/app/own_folder_start_win.h"

constexpr int kPanelDevice = 2;
constexpr int kDrainDevice = 3;
constexpr int kFloorDevice = 4;
constexpr int kStampDevice = 5;
constexpr uint8_t kIdentify = inbound::Identify;
constexpr std::string_view kAnswer(inbound::IdentificationAnswer, sizeof inbound::IdentificationAnswer);
constexpr DWORD kWaitMs = 20000;

void Progress(const char* format, ...);
void Figure(const std::string& name, double value);
void FigureBySize(const std::string& name, const std::map<int, double>& values);
// Prints every figure as one JSON object; returns 0.
int PrintFigures();
// Ends every child still running and the benchmark, with exit status 1.
[[noreturn]] void Fail(const char* what);
// Ends the run with Fail once it has taken longer than its limit.
void StartWatchdog();
std::string OwnDir();

enum Child { PanelChild, DrainChild, FloorChild, StampChild, Children };
// The child in this slot, ended by Fail; null: none.
void TrackChild(Child slot, HANDLE process);

// The process's visible window of that class, waited for up to 10 s; null without one.
HWND WaitForWindow(DWORD pid, const char* className);
// Writes the whole stream in writes of `writeSize`, then the identification request; the time
// until "VFD" is back, in ms.
double TimeStream(BenchPeer& peer, const std::vector<uint8_t>& stream, int writeSize);
// Every line of the display written full.
std::string FullLines();
// UPDATENOW sends WM_PAINT and waits for it, across processes too.
double TimePaint(HWND window, UINT extra = 0);

// A child of this benchmark on its own device's pipes, connected; ended with its pipes.
class ChildEnd {
public:
    ChildEnd(Child slot, int device, const std::string& arguments) : slot_(slot), peer_(device) {
        if (!peer_.Ok()) Fail("a child's pipes could not be made");
        process_ = StartInOwnFolder(OwnDir(), "quorvex-e2e.exe " + arguments, &pid_);
        if (!process_) Fail("a child of the benchmark did not start");
        TrackChild(slot_, process_);
        if (!peer_.Accept()) Fail("a child of the benchmark did not connect");
    }
    ~ChildEnd() {
        peer_.Vanish();
        if (WaitForSingleObject(process_, 5000) != WAIT_OBJECT_0) TerminateProcess(process_, 99);
        CloseHandle(process_);
        TrackChild(slot_, nullptr);
    }
    BenchPeer& Peer() { return peer_; }
    DWORD Pid() const { return pid_; }

private:
    Child slot_;
    BenchPeer peer_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// quorvex.exe started from `dir`, connected on the panel's device and showing its window.
class Panel {
public:
    explicit Panel(const std::string& dir) : peer_(kPanelDevice) {
        if (!peer_.Ok()) Fail("the panel's pipes could not be made");
        token_ = "e2e-" + std::to_string(GetCurrentProcessId());
        process_ = StartInOwnFolder(dir, "quorvex.exe -l " + token_, &pid_);
        if (!process_) Fail("quorvex.exe did not start");
        TrackChild(PanelChild, process_);
        if (!peer_.Accept()) Fail("the panel did not connect");
        const std::string greeting = commands::GreetingBytes();
        if (!peer_.WaitTotal(greeting.size(), kWaitMs) || peer_.ReceivedText() != greeting)
            Fail(("no " + greeting + " from the panel").c_str());
        frame_ = WaitForWindow(pid_, "QuorvexFrame");
        if (!frame_) Fail("no panel window");
        linuxPid_ = process_probe::FindLinuxPid(token_);
        if (!linuxPid_) Fail("the panel's Linux process was not found");
    }
    ~Panel() {
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 99);
        CloseHandle(process_);
        TrackChild(PanelChild, nullptr);
    }

    BenchPeer& Peer() { return peer_; }
    HWND Frame() const { return frame_; }
    HANDLE Process() const { return process_; }
    DWORD Pid() const { return pid_; }
    int64_t CpuMs() const { return process_probe::CpuMs(linuxPid_); }

    // Until everything sent so far has been decoded.
    void Settle() {
        const size_t before = peer_.Received();
        if (!peer_.Write(&kIdentify, 1) || !peer_.WaitTotal(before + kAnswer.size(), kWaitMs))
            Fail("the panel did not answer");
    }

private:
    BenchPeer peer_;
    std::string token_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    HWND frame_ = nullptr;
    int linuxPid_ = 0;
};

// Percentiles of each repetition; a figure is their median over the repetitions.
struct Percentiles {
    std::vector<double> p50, p99, p999;
    size_t samples = 0;

    void Add(const std::vector<double>& ms) {
        p50.push_back(bench_stats::Percentile(ms, 50));
        p99.push_back(bench_stats::Percentile(ms, 99));
        p999.push_back(bench_stats::Percentile(ms, 99.9));
        samples += ms.size();
    }
    // Figures `<prefix>_ms_p50` and `_p99` (and `_p999` when asked).
    void Report(const std::string& prefix, bool withP999 = false) const {
        Figure(prefix + "_ms_p50", bench_stats::Median(p50));
        Figure(prefix + "_ms_p99", bench_stats::Median(p99));
        if (withP999) Figure(prefix + "_ms_p999", bench_stats::Median(p999));
        Figure(prefix + "_samples", static_cast<double>(samples));
    }
};

// The whole measurement: idle and broken-pipe CPU, paints, key and display latencies idle and
// flooded, and the stream's throughput, each beside its floor or raw baseline.
#include "bench/e2e/e2e_run_win.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "bench/e2e/display_latency_win.h"
#include "bench/e2e/e2e_session_win.h"
#include "bench/e2e/floor_window_win.h"
#include "bench/streams.h"
#include "display/repaint_pacer.h"
#include "protocol/key_ids.h"
#include "tests/keypad/panel_input_win.h"

namespace {
constexpr int32_t kLineKeyId = KeyId::Digit1;
constexpr int kWriteSizes[] = {64, 1024, 16384};
// The flood writes the realistic stream on these lines only; the display probes use the others.
constexpr int kFloodRows = 18;
// Between two display probes: longer than the panel's paint spacing, so each is a change after a
// quiet spell.
constexpr DWORD kDisplayQuietMs = 30;
constexpr DWORD kKeySpacingMs = 5;

struct Settings {
    int repetitions = 5;
    size_t streamBytes = 20000000;
    int samplesPerKind = 340;  // three kinds: over 1,000 key samples a repetition
    int pipeSamples = 1020;
    int paintsPerRep = 200;
    int displaySamplesPerRep = 200;
    DWORD cpuWindowMs = 10000;
    bool keysOnly = false;
};

double RawStream(const std::vector<uint8_t>& stream, int writeSize) {
    BenchPeer peer(kDrainDevice);
    if (!peer.Ok()) Fail("the drain's pipes could not be made");
    HANDLE drain = StartInOwnFolder(OwnDir(), "quorvex-e2e.exe drain " + std::to_string(kDrainDevice), nullptr);
    if (!drain) Fail("the drain did not start");
    TrackChild(DrainChild, drain);
    if (!peer.Accept()) Fail("the drain did not connect");
    const double ms = TimeStream(peer, stream, writeSize);
    peer.Vanish();
    WaitForSingleObject(drain, 5000);
    CloseHandle(drain);
    TrackChild(DrainChild, nullptr);
    return ms;
}

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

// The floor window beside the panel, with the panel's client size.
class FloorWindow {
public:
    explicit FloorWindow(HWND frame) : end_(FloorChild, kFloorDevice, Arguments(frame)) {
        window_ = WaitForWindow(end_.Pid(), floor_window::ClassName);
        if (!window_) Fail("no floor window");
        linuxPid_ = process_probe::FindLinuxPid(Token());
        if (!linuxPid_) Fail("the floor window's Linux process was not found");
    }
    HWND Window() const { return window_; }
    BenchPeer& Peer() { return end_.Peer(); }
    int64_t CpuMs() const { return process_probe::CpuMs(linuxPid_); }

private:
    static std::string Arguments(HWND frame) {
        RECT client, window;
        GetClientRect(frame, &client);
        GetWindowRect(frame, &window);
        POINT origin = {0, 0};
        ClientToScreen(frame, &origin);
        const int x = window.right + 8;
        if (x + client.right > GetSystemMetrics(SM_CXSCREEN))
            Fail("the screen is too narrow for the floor window beside the panel");
        return "floor " + std::to_string(kFloorDevice) + " " + std::to_string(x) + " " + std::to_string(origin.y) +
               " " + std::to_string(client.right) + " " + std::to_string(client.bottom) + " " + Token();
    }
    // Names this run's floor process among Linux's.
    static std::string Token() { return "floor-" + std::to_string(GetCurrentProcessId()); }

    ChildEnd end_;
    HWND window_ = nullptr;
    int linuxPid_ = 0;
};

// Full paints of the floor window and of the panel, one after the other, and the panel's
// window alone (its keys and status bar are invalidated with it, and each of their paints is a
// message of its own from this process); the panel's CPU per paint in *cpuMs: on a loaded
// machine the time includes waiting for a core, the CPU does not.
void PaintFigures(Panel& panel, FloorWindow& floor, const Settings& s, double* cpuMs) {
    if (!panel.Peer().Write(FullLines())) Fail("the full lines could not be written");
    panel.Settle();
    const int64_t cpuBefore = panel.CpuMs();
    const int64_t floorCpuBefore = floor.CpuMs();
    Percentiles panelMs, floorMs, frameMs;
    for (int rep = 0; rep < s.repetitions; ++rep) {
        std::vector<double> p, f, w;
        // Each of the panel's paints after one of the floor's: a paint right after another of
        // the same process waits for that one's pixels to go to the X server.
        for (int i = 0; i < s.paintsPerRep; ++i) {
            f.push_back(TimePaint(floor.Window()));
            p.push_back(TimePaint(panel.Frame()));
            f.push_back(TimePaint(floor.Window()));
            w.push_back(TimePaint(panel.Frame(), RDW_NOCHILDREN));
        }
        panelMs.Add(p);
        floorMs.Add(f);
        frameMs.Add(w);
    }
    frameMs.Report("paint_frame_only");
    *cpuMs = static_cast<double>(panel.CpuMs() - cpuBefore) / (2 * s.paintsPerRep * s.repetitions);
    Figure("paint_floor_cpu_ms", static_cast<double>(floor.CpuMs() - floorCpuBefore) / (2 * s.paintsPerRep * s.repetitions));
    panelMs.Report("paint");
    floorMs.Report("paint_floor");
}

struct Probe {
    const char* kind;
    std::function<void()> act;
    size_t bytes;
};

// One latency in ms: from the input until its `bytes` arrived at the peer; 0 when they did not
// arrive within the wait.
double Latency(BenchPeer& peer, const Probe& probe) {
    const size_t before = peer.Received();
    const int64_t t0 = bench_clock::Now();
    probe.act();
    const int64_t t1 = peer.WaitTotal(before + probe.bytes, kWaitMs);
    return t1 ? bench_clock::Ms(t1 - t0) : 0;
}

// The key's floor: a posted key-down to the floor window, which writes its byte from its window
// thread at once. The same message delivery as the panel's posted key-down, without its path
// through the outbound queue and writer thread.
std::vector<double> FloorKeyLatencies(FloorWindow& floor, int count) {
    HWND window = floor.Window();
    const Probe probe = {"floor key-down", [window] { PostMessageA(window, WM_KEYDOWN, '1', 1); }, 1};
    std::vector<double> ms;
    for (int i = 0; i < count; ++i) {
        const double latency = Latency(floor.Peer(), probe);
        if (latency == 0) Fail("the floor window did not answer a key");
        ms.push_back(latency);
        Sleep(kKeySpacingMs);
    }
    return ms;
}

// The pipe's floor: the stamp child writes the time just before its write, this process's
// receiver stamps the return of its blocked read (the performance counter is the machine's).
std::vector<double> PipeLatencies(ChildEnd& stamp, int count) {
    std::vector<double> ms;
    BenchPeer& peer = stamp.Peer();
    for (int i = 0; i < count; ++i) {
        const size_t before = peer.Received();
        const uint8_t ask = 1;
        if (!peer.Write(&ask, 1)) Fail("the stamp child's pipe broke");
        const int64_t arrived = peer.WaitTotal(before + sizeof(int64_t), kWaitMs);
        if (!arrived) Fail("no answer from the stamp child");
        int64_t written = 0;
        std::memcpy(&written, peer.ReceivedText().data() + before, sizeof written);
        ms.push_back(bench_clock::Ms(arrived - written));
        Sleep(kKeySpacingMs);
    }
    return ms;
}

// All kinds of input mixed, percentiles per repetition, and per kind the worst. An input not
// answered within the wait ends the measurement: its late bytes would be taken for the next
// input's. With `stamp`, a repetition of the pipe's floor follows each repetition of the keys.
struct LatencyFigures {
    Percentiles keys;
    Percentiles pipe;
    Percentiles floorKeys;
    std::map<std::string, std::vector<double>> byKind;     // all repetitions
    std::map<std::string, Percentiles> byKindPerRep;
    bool lost = false;
};

LatencyFigures KeyLatencies(Panel& panel, const Settings& s, ChildEnd* stamp, FloorWindow* floor) {
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
        std::map<std::string, std::vector<double>> kinds;
        for (int i = 0; i < s.samplesPerKind && !f.lost; ++i)
            for (const Probe& p : probes) {
                const double latency = Latency(panel.Peer(), p);
                if (latency == 0) {
                    Progress("%s: no answer within %lu ms", p.kind, kWaitMs);
                    f.lost = true;
                    break;
                }
                ms.push_back(latency);
                f.byKind[p.kind].push_back(latency);
                kinds[p.kind].push_back(latency);
                if (latency > 50) Progress("slow: %s %.1f ms (repetition %d, sample %d)", p.kind, latency, rep, i);
                Sleep(kKeySpacingMs);
            }
        if (f.lost) ms.push_back(kWaitMs);
        f.keys.Add(ms);
        for (const auto& [kind, kindMs] : kinds) f.byKindPerRep[kind].Add(kindMs);
        if (stamp) f.pipe.Add(PipeLatencies(*stamp, s.pipeSamples));
        if (floor) f.floorKeys.Add(FloorKeyLatencies(*floor, s.pipeSamples));
    }
    return f;
}

void ReportKeys(const LatencyFigures& f, const std::string& prefix) {
    Figure(prefix + "_p50_ms", bench_stats::Median(f.keys.p50));
    Figure(prefix + "_p99_ms", bench_stats::Median(f.keys.p99));
    Figure(prefix + "_p999_ms", bench_stats::Median(f.keys.p999));
    Figure(prefix + "_samples", static_cast<double>(f.keys.samples));
    for (const auto& [kind, ms] : f.byKind) Figure(prefix + "_max_ms " + kind, bench_stats::Percentile(ms, 100));
    for (const auto& [kind, kindMs] : f.byKindPerRep) {
        Figure(prefix + "_p50_ms " + kind, bench_stats::Median(kindMs.p50));
        Figure(prefix + "_p99_ms " + kind, bench_stats::Median(kindMs.p99));
    }
}

// Pieces of about `size` bytes of the stream, each ending where an event begins (a cursor
// address after text), so that a field another thread writes between two pieces lands where it
// says and the piece after it goes on where it should.
std::vector<std::pair<size_t, size_t>> EventPieces(const std::vector<uint8_t>& stream, size_t size) {
    std::vector<std::pair<size_t, size_t>> pieces;
    for (size_t at = 0; at + size < stream.size();) {
        size_t end = at + size;
        while (end > at + 1 && !(stream[end] >= inbound::AddressFirst && stream[end - 1] < inbound::AddressFirst))
            --end;
        pieces.push_back({at, end - at});
        at = end;
    }
    return pieces;
}

// Realistic traffic into the panel as fast as the pipe takes it, from its own thread, in pieces
// of about 16 KB. Fields of the display probe go out between two pieces, as a control's one
// writer would send them (a lock shared with the probe's thread let the flood take it again and
// again while the probe waited).
class Flood {
public:
    bool Inject(const std::string& bytes) {
        std::lock_guard<std::mutex> guard(injectLock_);
        injected_ += bytes;
        return true;
    }

    // `settle` waits, after the flood, until the window's process has read everything.
    Flood(BenchPeer& peer, const std::vector<uint8_t>& stream, std::function<void()> settle)
        : peer_(peer), stream_(stream), pieces_(EventPieces(stream, 16384)), settle_(std::move(settle)) {
        if (pieces_.empty()) Fail("the flood's stream is too short");
        thread_ = CreateThread(nullptr, 0, &Flood::Loop, this, 0, nullptr);
        if (!thread_) Fail("the flood did not start");
        start_ = bench_clock::Now();
    }
    ~Flood() { Stop(); }
    // MB/s into the panel.
    double Stop() {
        if (thread_) {
            InterlockedExchange(&stop_, 1);
            WaitForSingleObject(thread_, kWaitMs);
            CloseHandle(thread_);
            thread_ = nullptr;
            mbps_ = static_cast<double>(sent_) / bench_clock::Ms(bench_clock::Now() - start_) / 1000.0;
            settle_();
        }
        return mbps_;
    }

private:
    static DWORD WINAPI Loop(void* context) {
        auto* f = static_cast<Flood*>(context);
        for (size_t i = 0; !f->stop_; i = (i + 1) % f->pieces_.size()) {
            std::string injected;
            {
                std::lock_guard<std::mutex> guard(f->injectLock_);
                injected.swap(f->injected_);
            }
            if (!injected.empty() && !f->peer_.Write(injected)) break;
            const auto [at, n] = f->pieces_[i];
            if (!f->peer_.Write(f->stream_.data() + at, n)) break;
            f->sent_ += n;
        }
        return 0;
    }

    BenchPeer& peer_;
    const std::vector<uint8_t>& stream_;
    std::vector<std::pair<size_t, size_t>> pieces_;
    std::function<void()> settle_;
    HANDLE thread_ = nullptr;
    std::mutex injectLock_;
    std::string injected_;
    volatile LONG stop_ = 0;
    size_t sent_ = 0;
    int64_t start_ = 0;
    double mbps_ = 0;
};

std::function<bool(const std::string&)> WritesTo(BenchPeer& peer) {
    return [&peer](const std::string& bytes) { return peer.Write(bytes); };
}

void Learn(FieldWatch& watch, const char* whose) {
    if (const char* why = watch.Learn()) {
        Progress("%s: %s", whose, why);
        Fail("the display probe cannot see the changes");
    }
}

// Byte-to-pixel samples, one watch after the other when there are several; lost samples (not
// shown within the wait) are counted, not timed.
std::vector<Percentiles> DisplayLatencies(const std::vector<FieldWatch*>& watches, const Settings& s, int* lost) {
    std::vector<Percentiles> figures(watches.size());
    bench_streams::Random random;
    for (int rep = 0; rep < s.repetitions; ++rep) {
        std::vector<std::vector<double>> ms(watches.size());
        for (int i = 0; i < s.displaySamplesPerRep; ++i)
            for (size_t w = 0; w < watches.size(); ++w) {
                const double latency = watches[w]->Sample();
                if (latency > 0) ms[w].push_back(latency);
                else ++*lost;
                // A random part, so that the samples do not keep one phase of the panel's paints.
                Sleep(kDisplayQuietMs + random.Next(static_cast<uint32_t>(RepaintPacer::SpacingMs) + 1));
            }
        for (size_t w = 0; w < watches.size(); ++w) figures[w].Add(ms[w]);
    }
    return figures;
}

void MeasureKeysAndDisplay(Panel& panel, FloorWindow* floor, const std::vector<uint8_t>& stream, const Settings& s) {
    FieldWatch panelWatch(panel.Frame(), WritesTo(panel.Peer()));
    std::unique_ptr<FieldWatch> floorWatch;
    if (floor) {
        Progress("display latency, idle");
        floorWatch = std::make_unique<FieldWatch>(floor->Window(), WritesTo(floor->Peer()));
        Learn(panelWatch, "panel");
        Learn(*floorWatch, "floor window");
        int lost = 0;
        const std::vector<Percentiles> idle = DisplayLatencies({&panelWatch, floorWatch.get()}, s, &lost);
        idle[0].Report("display_latency");
        idle[1].Report("display_latency_floor");
        Figure("display_samples_lost", lost);
    }

    Progress("key latency, idle, and the floors of the pipe and of a key");
    {
        ChildEnd stamp(StampChild, kStampDevice, "stamp " + std::to_string(kStampDevice));
        const LatencyFigures idle = KeyLatencies(panel, s, &stamp, floor);
        ReportKeys(idle, "key_latency");
        if (floor) idle.floorKeys.Report("key_floor_latency", true);
        idle.pipe.Report("pipe_latency", true);
        Figure("key_inputs_lost", idle.lost ? 1 : 0);
    }

    Progress("key latency, flooded");
    Flood flood(panel.Peer(), stream, [&panel] { panel.Settle(); });
    Sleep(200);
    const LatencyFigures flooded = KeyLatencies(panel, s, nullptr, nullptr);
    ReportKeys(flooded, "flood_key_latency");
    Figure("flood_inputs_lost", flooded.lost ? 1 : 0);
    if (floor) {
        Progress("display latency, flooded");
        panelWatch.WriteThrough([&flood](const std::string& bytes) { return flood.Inject(bytes); });
        int lost = 0;
        DisplayLatencies({&panelWatch}, s, &lost)[0].Report("flood_display_latency");
        Figure("flood_display_samples_lost", lost);
    }
    Figure("flood_mbps", flood.Stop());
    if (floor) {
        // The floor under the same flood: what the traffic ahead in the pipe costs any reader.
        Progress("display latency of the floor, flooded");
        Flood floorFlood(floor->Peer(), stream, [] { Sleep(500); });
        floorWatch->WriteThrough([&floorFlood](const std::string& bytes) { return floorFlood.Inject(bytes); });
        int lost = 0;
        DisplayLatencies({floorWatch.get()}, s, &lost)[0].Report("flood_display_latency_floor");
        Figure("flood_display_floor_samples_lost", lost);
        Figure("flood_floor_mbps", floorFlood.Stop());
    }
}

int RunAll(const std::string& panelDir, const Settings& s) {
    StartWatchdog();
    const std::vector<uint8_t> stream = bench_streams::LiveScreens(s.streamBytes);
    const std::vector<uint8_t> floodStream = bench_streams::LiveScreens(s.streamBytes, kFloodRows);
    Panel panel(panelDir);
    if (s.keysOnly) {
        MeasureKeysAndDisplay(panel, nullptr, floodStream, s);
        return PrintFigures();
    }
    const int64_t handlesBefore = process_probe::HandleCount(panel.Pid());

    Progress("idle CPU (%d x %lu ms)", s.repetitions, s.cpuWindowMs);
    Figure("idle_cpu_ms_per_10s", bench_stats::Median(CpuWindows(panel, s)));

    std::unique_ptr<FloorWindow> floor = std::make_unique<FloorWindow>(panel.Frame());
    Progress("paint, and the floor's");
    double paintCpu = 0;
    PaintFigures(panel, *floor, s, &paintCpu);
    Figure("paint_cpu_ms", paintCpu);
    MeasureKeysAndDisplay(panel, floor.get(), floodStream, s);
    floor.reset();
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
    return PrintFigures();
}

// The run's settings from its options (argv[3] on).
Settings ReadSettings(int argc, char** argv) {
    Settings s;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0) {
            s.repetitions = 2;
            s.streamBytes = 2000000;
            s.samplesPerKind = 34;
            s.pipeSamples = 102;
            s.paintsPerRep = 50;
            s.displaySamplesPerRep = 40;
            s.cpuWindowMs = 2000;
        } else if (std::strcmp(argv[i], "--keys-only") == 0) {
            s.keysOnly = true;
        } else if (std::strcmp(argv[i], "--stream-mb") == 0 && i + 1 < argc) {
            s.streamBytes = static_cast<size_t>(std::atof(argv[++i]) * 1e6);
        }
    }
    return s;
}
}  // namespace

int RunBenchmark(int argc, char** argv) {
    const Settings s = ReadSettings(argc, argv);
    Figure("stream_mb", static_cast<double>(s.streamBytes) / 1e6);
    Figure("repetitions", s.repetitions);
    return RunAll(argv[2], s);
}

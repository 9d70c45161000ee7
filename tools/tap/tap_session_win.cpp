// The control is watched, not opened, until a panel has connected to the pipes offered to it;
// then the control's pipes are opened and the capture created. Two forwarding threads, one per
// direction, each forwarding a read before handing it to the capture's writer; the first to end
// stops the other through the shared stop event (after letting it take what a side that left
// had written last), then the capture is written out and closed.
#include "tools/tap/tap_session_win.h"

#include <string>

#include "link/pipe_server_io_win.h"
#include "tools/common/console_lines_win.h"
#include "tools/common/texts.h"
#include "tools/tap/capture_writer_win.h"
#include "tools/tap/tap_pipes_win.h"

namespace {
using pipe_server::IoOutcome;

constexpr int kDone = 0;
constexpr int kCaptureIncomplete = 1;
constexpr int kBadSetup = 2;
constexpr DWORD kBlockSize = 2048;  // the panel's read size
constexpr uint32_t kControlWaitMs = 10000;
constexpr DWORD kStopWaitMs = 5000;
// How often the wait for a panel looks whether the control is still there.
constexpr DWORD kControlLookMs = 100;
// A side that left may still have bytes in its pipe for the other direction to forward.
constexpr DWORD kDrainWaitMs = 2000;
// A control between two panels may take its pipes down for a moment: gone only when this long.
constexpr ULONGLONG kControlGoneMs = 1000;
// The capture's reader may still be starting when the session ends (tshark takes seconds).
constexpr DWORD kCaptureStallMs = 30000;

HANDLE g_stop = nullptr;
// Messages go to standard error while the capture goes to standard output.
void (*g_say)(const std::string&) = &Say;

BOOL WINAPI OnConsoleControl(DWORD) {
    SetEvent(g_stop);
    return TRUE;
}

// One direction: what it reads from, where it writes, and how it ended.
struct Leg {
    const char* name;
    HANDLE from;
    HANDLE to;
    capture::Direction direction;
    unsigned lostReading;  // text id when the read side is gone
    unsigned lostWriting;
    CaptureWriter* capture;
    unsigned endId = tool_text::Ok;  // Ok: stopped from outside
    bool endedWriting = false;       // the side it writes to is gone
    DWORD error = 0;
    uint64_t bytes = 0;
    uint64_t reads = 0;
};

DWORD WINAPI Forward(void* parameter) {
    Leg& leg = *static_cast<Leg*>(parameter);
    pipe_server::OverlappedIo io;
    const pipe_server::IoBounds untilStopped{INFINITE, g_stop};
    char buffer[kBlockSize];
    for (;;) {
        DWORD got = 0;
        IoOutcome r = io.Read(leg.from, buffer, sizeof buffer, &got, untilStopped);
        if (r != IoOutcome::Done) {
            leg.endId = r == IoOutcome::Stopped ? tool_text::Ok : leg.lostReading;
            leg.error = io.LastError();
            return 0;
        }
        if (got == 0) continue;
        const uint64_t at = NowUs();
        r = io.WriteAll(leg.to, buffer, got, untilStopped);
        if (leg.capture) leg.capture->Record(leg.direction, buffer, got, at);
        leg.bytes += got;
        ++leg.reads;
        if (r != IoOutcome::Done) {
            leg.endId = r == IoOutcome::Stopped ? tool_text::Ok : leg.lostWriting;
            leg.endedWriting = r != IoOutcome::Stopped;
            leg.error = io.LastError();
            return 0;
        }
    }
}

std::string Amount(const Leg& leg) {
    return std::to_string(leg.bytes) + " bytes in " + std::to_string(leg.reads) + " reads " + leg.name;
}

struct Pipes {
    HANDLE controlRead = INVALID_HANDLE_VALUE;
    HANDLE controlWrite = INVALID_HANDLE_VALUE;
    HANDLE panelDisplay = INVALID_HANDLE_VALUE;
    HANDLE panelCommands = INVALID_HANDLE_VALUE;
    ~Pipes() { Close(); }
    void Close() {
        for (HANDLE* pipe : {&controlRead, &controlWrite, &panelDisplay, &panelCommands}) ClosePipe(*pipe);
    }
};

int Forward(Pipes& pipes, CaptureWriter* capture, const std::string& capturePath) {
    Leg legs[2] = {
        {"to the panel", pipes.controlRead, pipes.panelDisplay, capture::Direction::ToPanel, tool_text::ControlClosed,
         tool_text::PanelClosed, capture},
        {"to the control", pipes.panelCommands, pipes.controlWrite, capture::Direction::ToControl,
         tool_text::PanelClosed, tool_text::ControlClosed, capture},
    };
    HANDLE threads[2] = {CreateThread(nullptr, 0, &Forward, &legs[0], 0, nullptr),
                         CreateThread(nullptr, 0, &Forward, &legs[1], 0, nullptr)};
    if (!threads[0] || !threads[1]) {
        SetEvent(g_stop);
        for (HANDLE t : threads)
            if (t) WaitForSingleObject(t, kStopWaitMs);
        Complain("cannot start the forwarding threads");
        return kBadSetup;
    }
    const DWORD first = WaitForMultipleObjects(2, threads, FALSE, INFINITE) - WAIT_OBJECT_0;
    // The side the first leg could not write to is the one the other leg reads: what it wrote
    // before it left still goes to the side that stays.
    if (first < 2 && legs[first].endedWriting) WaitForSingleObject(threads[1 - first], kDrainWaitMs);
    SetEvent(g_stop);
    WaitForMultipleObjects(2, threads, TRUE, kStopWaitMs);
    for (HANDLE t : threads) CloseHandle(t);
    pipes.Close();  // both sides learn the end now, not after the capture's reader

    const Leg& ended = legs[first < 2 ? first : 0];
    std::string why = ended.endId != tool_text::Ok
                          ? std::string(tool_text::Text(ended.endId)) + " (error " + std::to_string(ended.error) + ")"
                          : tool_text::Text(tool_text::Interrupted);
    g_say("session ended: " + why + "; forwarded " + Amount(legs[0]) + ", " + Amount(legs[1]));
    if (!capture) return kDone;
    capture->Close(kCaptureStallMs);
    if (const unsigned failure = capture->Failure()) {
        Complain(capturePath + ": " + tool_text::Text(failure));
        return kCaptureIncomplete;
    }
    g_say("capture " + capturePath + ": " + std::to_string(capture->Packets()) + " packets");
    return kDone;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Waits until a panel has opened both pipes offered to it, while the control still offers its own
// (TimedOut: the control left first).
IoOutcome WaitForPanel(Pipes& pipes, int control, std::string& detail) {
    ULONGLONG absentSince = 0;
    pipe_server::IoBounds whileControlStays;
    whileControlStays.stop = g_stop;
    whileControlStays.pollMs = kControlLookMs;
    whileControlStays.keepWaiting = [&] {
        if (ControlPresence(control, detail) != Presence::Absent) {
            absentSince = 0;
            return true;
        }
        const ULONGLONG now = GetTickCount64();
        if (!absentSince) absentSince = now;
        return now - absentSince < kControlGoneMs;
    };
    pipe_server::OverlappedIo io;
    for (HANDLE end : {pipes.panelDisplay, pipes.panelCommands}) {
        const IoOutcome r = io.Connect(end, whileControlStays);
        if (r != IoOutcome::Done) {
            if (r == IoOutcome::Failed) detail = "error " + std::to_string(io.LastError());
            return r;
        }
    }
    return IoOutcome::Done;
}
}  // namespace

int RunTap(const TapOptions& options) {
    g_stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
    CaptureWriter capture;
    const bool recording = !options.capturePath.empty();
    const bool toStdout = options.capturePath == kStandardOutput;
    if (toStdout) g_say = &Complain;
    const std::string captureName = toStdout ? "standard output" : options.capturePath;
    // Refused at once; the file itself is made only once both sides are there, so that a start
    // that fails leaves nothing behind.
    if (recording && !toStdout && !options.overwrite && FileExists(options.capturePath)) {
        Complain(captureName + ": " + tool_text::Text(tool_text::CaptureExists));
        return kBadSetup;
    }
    // The control is only looked for here: it sees a client only when a panel has come.
    Pipes pipes;
    std::string detail;
    unsigned id = WaitForControl(options.control, kControlWaitMs, detail);
    if (id == tool_text::Ok) id = CreatePanelPipes(options, pipes.panelDisplay, pipes.panelCommands, detail);
    if (id != tool_text::Ok) {
        Complain(std::string(tool_text::Text(id)) + ": " + detail);
        return kBadSetup;
    }
    g_say("control on device " + std::to_string(options.control) + "; offering device " + std::to_string(options.listen) +
          " to the panel" + (recording ? ", recording to " + captureName : std::string()));
    if (options.listen > options.control)
        g_say("note: a panel that probes from device 2 finds the control's device " + std::to_string(options.control) +
              " before device " + std::to_string(options.listen));
    switch (WaitForPanel(pipes, options.control, detail)) {
        case IoOutcome::Done: break;
        case IoOutcome::Stopped:
            g_say(std::string(tool_text::Text(tool_text::Interrupted)) + " before a panel connected");
            return kDone;
        case IoOutcome::TimedOut:
            Complain(std::string(tool_text::Text(tool_text::ControlLeftBeforePanel)) + ": " + detail);
            return kBadSetup;
        case IoOutcome::Failed:
            Complain("the panel's pipe failed (" + detail + ")");
            return kBadSetup;
    }
    id = OpenControlPipes(options.control, kControlWaitMs, pipes.controlRead, pipes.controlWrite, detail);
    if (id != tool_text::Ok) {
        Complain(std::string(tool_text::Text(id)) + ": " + detail);
        return kBadSetup;
    }
    if (recording) {
        const std::string description = "panel on device " + std::to_string(options.listen) + ", control on device " +
                                        std::to_string(options.control) + "; inbound = from the control to the panel";
        id = capture.Create(options.capturePath, description, options.overwrite);
        if (id != tool_text::Ok) {
            const DWORD error = GetLastError();
            Complain(captureName + ": " + tool_text::Text(id) +
                     (id == tool_text::CaptureExists ? std::string() : " (error " + std::to_string(error) + ")"));
            return kBadSetup;
        }
    }
    g_say("panel connected");
    return Forward(pipes, recording ? &capture : nullptr, captureName);
}

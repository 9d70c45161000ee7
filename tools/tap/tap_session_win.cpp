// Two forwarding threads, one per direction, each forwarding a read before recording it; the
// first to end stops the other through the shared stop event, then the capture is closed.
#include "tools/tap/tap_session_win.h"

#include <string>

#include "tools/common/console_lines_win.h"
#include "tools/common/texts.h"
#include "tools/tap/capture_writer_win.h"
#include "tools/tap/tap_pipes_win.h"

namespace {
constexpr int kDone = 0;
constexpr int kCaptureIncomplete = 1;
constexpr int kBadSetup = 2;
constexpr DWORD kBlockSize = 2048;  // the panel's read size
constexpr uint32_t kControlWaitMs = 10000;
constexpr DWORD kStopWaitMs = 5000;

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
    DWORD error = 0;
    uint64_t bytes = 0;
    uint64_t reads = 0;
};

DWORD WINAPI Forward(void* parameter) {
    Leg& leg = *static_cast<Leg*>(parameter);
    OverlappedIo io;
    char buffer[kBlockSize];
    for (;;) {
        DWORD got = 0;
        IoResult r = io.Read(leg.from, buffer, sizeof buffer, &got, g_stop);
        if (r != IoResult::Ok) {
            leg.endId = r == IoResult::Stopped ? tool_text::Ok : leg.lostReading;
            leg.error = io.LastError();
            return 0;
        }
        if (got == 0) continue;
        const uint64_t at = NowUs();
        r = io.WriteAll(leg.to, buffer, got, g_stop);
        if (leg.capture) leg.capture->Record(leg.direction, buffer, got, at);
        leg.bytes += got;
        ++leg.reads;
        if (r != IoResult::Ok) {
            leg.endId = r == IoResult::Stopped ? tool_text::Ok : leg.lostWriting;
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
    ~Pipes() {
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
    SetEvent(g_stop);
    WaitForMultipleObjects(2, threads, TRUE, kStopWaitMs);
    for (HANDLE t : threads) CloseHandle(t);
    if (capture) capture->Close();

    const Leg& ended = legs[first < 2 ? first : 0];
    std::string why = ended.endId != tool_text::Ok
                          ? std::string(tool_text::Text(ended.endId)) + " (error " + std::to_string(ended.error) + ")"
                          : tool_text::Text(tool_text::Interrupted);
    g_say("session ended: " + why + "; forwarded " + Amount(legs[0]) + ", " + Amount(legs[1]));
    if (!capture) return kDone;
    if (capture->Failed()) {
        Complain(capturePath + ": " + tool_text::Text(tool_text::CaptureWriteFailed));
        return kCaptureIncomplete;
    }
    g_say("capture " + capturePath + ": " + std::to_string(capture->Packets()) + " packets");
    return kDone;
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
    if (recording) {
        const std::string description = "panel on device " + std::to_string(options.listen) + ", control on device " +
                                        std::to_string(options.control) + "; inbound = from the control to the panel";
        const unsigned id = capture.Create(options.capturePath, description, options.overwrite);
        if (id != tool_text::Ok) {
            const DWORD error = GetLastError();
            Complain(captureName + ": " + tool_text::Text(id) +
                     (id == tool_text::CaptureExists ? std::string() : " (error " + std::to_string(error) + ")"));
            return kBadSetup;
        }
    }
    Pipes pipes;
    std::string detail;
    unsigned id = OpenControlPipes(options.control, kControlWaitMs, pipes.controlRead, pipes.controlWrite, detail);
    if (id == tool_text::Ok) id = CreatePanelPipes(options, pipes.panelDisplay, pipes.panelCommands, detail);
    if (id != tool_text::Ok) {
        Complain(std::string(tool_text::Text(id)) + ": " + detail);
        return kBadSetup;
    }
    g_say("control on device " + std::to_string(options.control) + "; offering device " + std::to_string(options.listen) +
        " to the panel" + (recording ? ", recording to " + captureName : std::string()));
    OverlappedIo io;
    for (HANDLE end : {pipes.panelDisplay, pipes.panelCommands}) {
        const IoResult r = io.Connect(end, g_stop);
        if (r == IoResult::Stopped) {
            g_say(std::string(tool_text::Text(tool_text::Interrupted)) + " before a panel connected");
            return kDone;
        }
        if (r == IoResult::Failed) {
            Complain("the panel's pipe failed (error " + std::to_string(io.LastError()) + ")");
            return kBadSetup;
        }
    }
    g_say("panel connected");
    return Forward(pipes, recording ? &capture : nullptr, captureName);
}

// Controller mode: serves one panel after another until shut down (or the --timeout ends it).
#include <windows.h>

#include <vector>

#include "tools/common/commands.h"
#include "tools/sim/console_win.h"
#include "tools/sim/controller.h"
#include "tools/common/escapes.h"
#include "tools/sim/pipes_win.h"
#include "tools/common/texts.h"

namespace {
constexpr uint32_t kTickMs = 250;
constexpr uint32_t kConnectSliceMs = 250;
constexpr uint32_t kHalfConnectLimitMs = 5000;
constexpr uint32_t kSendTimeoutMs = 2000;
constexpr uint32_t kSummaryMs = 10000;

enum class Outcome { Connected, Disconnected, ShutDown, TimeLimit, SetupFailed };

class Session {
public:
    Session(Controller& controller, uint64_t endMs) : controller_(controller), endMs_(endMs) {}

    Outcome Serve(PipePair& pipes);

private:
    Outcome WaitForPanel(PipePair& pipes);
    bool Deliver(PipePair& pipes, const Controller::Output& out, bool update);
    bool TimeUp() const { return endMs_ && GetTickCount64() >= endMs_; }

    Controller& controller_;
    uint64_t endMs_;
    CommandReader reader_;
    unsigned updates_ = 0;
    size_t updateBytes_ = 0;
};

bool Session::Deliver(PipePair& pipes, const Controller::Output& out, bool update) {
    for (const std::string& note : out.notes) Say(note);
    if (out.bytes.empty()) return true;
    if (update) {
        ++updates_;
        updateBytes_ += out.bytes.size();
    }
    return pipes.Send(out.bytes, kSendTimeoutMs) == LinkStatus::Ok;
}

Outcome Session::WaitForPanel(PipePair& pipes) {
    ULONGLONG halfSince = 0;
    for (;;) {
        if (TimeUp()) return Outcome::TimeLimit;
        LinkStatus status = pipes.WaitConnected(kConnectSliceMs);
        if (status == LinkStatus::Ok) return Outcome::Connected;
        if (status == LinkStatus::Closed) return Outcome::SetupFailed;
        if (!pipes.HalfConnected()) {
            halfSince = 0;
        } else if (!halfSince) {
            halfSince = GetTickCount64();
        } else if (GetTickCount64() - halfSince > kHalfConnectLimitMs) {
            Say("only one pipe was opened; starting over");
            return Outcome::SetupFailed;
        }
    }
}

Outcome Session::Serve(PipePair& pipes) {
    Outcome waited = WaitForPanel(pipes);
    if (waited != Outcome::Connected) return waited;
    Say("panel connected");
    reader_.Reset();
    ULONGLONG lastTick = GetTickCount64();
    ULONGLONG lastSummary = lastTick;
    if (!Deliver(pipes, controller_.Connect(lastTick, SecondsOfDay()), false)) return Outcome::Disconnected;
    for (;;) {
        ULONGLONG now = GetTickCount64();
        uint32_t untilTick = now >= lastTick + kTickMs ? 0 : static_cast<uint32_t>(lastTick + kTickMs - now);
        std::string bytes;
        LinkStatus status = untilTick ? pipes.Receive(bytes, untilTick) : LinkStatus::TimedOut;
        if (status == LinkStatus::Closed) return Outcome::Disconnected;
        std::vector<Command> commands;
        reader_.Feed(bytes, commands);
        for (const Command& command : commands) {
            Say("command: " + DescribeCommand(command));
            if (!Deliver(pipes, controller_.Handle(command), false)) return Outcome::Disconnected;
            if (controller_.Finished()) return Outcome::ShutDown;
        }
        now = GetTickCount64();
        if (now >= lastTick + kTickMs) {
            lastTick = now;
            if (!Deliver(pipes, controller_.Tick(now, SecondsOfDay()), true)) return Outcome::Disconnected;
        }
        if (now >= lastSummary + kSummaryMs) {
            Say("live updates: " + std::to_string(updates_) + " (" + std::to_string(updateBytes_) + " bytes) in " +
                std::to_string((now - lastSummary) / 1000) + " s");
            updates_ = 0;
            updateBytes_ = 0;
            lastSummary = now;
        }
        if (TimeUp()) {
            pipes.SendExitNotice();
            return Outcome::TimeLimit;
        }
    }
}
}  // namespace

int RunController(const SimOptions& options) {
    Controller controller;
    uint64_t endMs = options.timeoutMs ? GetTickCount64() + options.timeoutMs : 0;
    unsigned failures = 0;
    for (;;) {
        PipePair pipes;
        std::string detail;
        unsigned id = pipes.Create(options, detail);
        if (id != tool_text::Ok) {
            Complain(std::string(tool_text::Text(id)) + ": " + detail);
            // A pipe of the previous panel may linger for a moment; a lasting failure ends the run.
            if (++failures == 20) return 2;
            Sleep(100);
            continue;
        }
        failures = 0;
        Say("listening on " + pipes.ReadPipeName() + " and " + pipes.WritePipeName());
        Session session(controller, endMs);
        switch (session.Serve(pipes)) {
            case Outcome::Disconnected:
                Say("panel disconnected");
                break;
            case Outcome::Connected:
            case Outcome::SetupFailed:
                break;
            case Outcome::ShutDown:
                pipes.Close();
                Say("controller shut down");
                return 0;
            case Outcome::TimeLimit:
                Say("time limit reached");
                return 0;
        }
    }
}

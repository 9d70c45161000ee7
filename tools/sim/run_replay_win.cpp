// Replay mode: the control's side of a capture played to one panel with its recorded timing;
// the panel's commands are shown and never answered.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "tools/common/capture_file.h"
#include "tools/common/commands.h"
#include "tools/common/texts.h"
#include "tools/sim/console_win.h"
#include "tools/sim/pipes_win.h"
#include "tools/sim/replay_plan.h"

namespace {
constexpr int kPlayed = 0;
constexpr int kCutShort = 1;
constexpr int kBadSetup = 2;
constexpr uint32_t kSliceMs = 250;
constexpr uint32_t kSendTimeoutMs = 2000;

// Shows the panel's commands while waiting until `untilMs` (tick count) or the end of the run.
class Listener {
public:
    Listener(PipePair& pipes, uint64_t endMs) : pipes_(pipes), endMs_(endMs) {}

    // Ok when the moment came, Closed when the panel left, TimedOut when the run's time ran out.
    LinkStatus WaitUntil(uint64_t untilMs) {
        for (;;) {
            const uint64_t now = GetTickCount64();
            if (endMs_ && now >= endMs_) return LinkStatus::TimedOut;
            if (now >= untilMs) return LinkStatus::Ok;
            uint64_t wait = untilMs - now < kSliceMs ? untilMs - now : kSliceMs;
            if (endMs_ && endMs_ - now < wait) wait = endMs_ - now;
            std::string bytes;
            if (pipes_.Receive(bytes, static_cast<uint32_t>(wait)) == LinkStatus::Closed) return LinkStatus::Closed;
            std::vector<Command> commands;
            reader_.Feed(bytes, commands);
            for (const Command& c : commands) Say("command (not answered): " + DescribeCommand(c));
        }
    }

private:
    PipePair& pipes_;
    uint64_t endMs_;
    CommandReader reader_;
};

unsigned LoadCapture(const std::string& path, capture::ReadResult& result) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return tool_text::ScriptUnreadable;
    std::ostringstream content;
    content << file.rdbuf();
    result = capture::Read(content.str());
    return result.id;
}

std::string SpeedText(uint32_t milli) {
    std::string text = std::to_string(milli / 1000);
    if (milli % 1000) {
        char decimals[8];
        std::snprintf(decimals, sizeof decimals, ".%03u", milli % 1000);
        text += decimals;
        while (text.back() == '0') text.pop_back();
    }
    return text;
}
}  // namespace

int RunReplay(const SimOptions& options) {
    capture::ReadResult capture;
    const unsigned loaded = LoadCapture(options.replayPath, capture);
    if (loaded == tool_text::ScriptUnreadable) {
        Complain(options.replayPath + ": cannot read the capture file");
        return kBadSetup;
    }
    if (loaded != tool_text::Ok) {
        Complain(options.replayPath + ": offset " + std::to_string(capture.offset) + ": " + tool_text::Text(loaded));
        return kBadSetup;
    }
    if (capture.cut)
        Say(options.replayPath + ": offset " + std::to_string(capture.offset) + ": " +
            tool_text::Text(tool_text::CaptureCut));
    const std::vector<ReplayStep> steps = PlanReplay(std::move(capture.records), options.speedMilli);
    // A panel would wait for ever on a replay that sends nothing.
    if (steps.empty()) {
        Complain(options.replayPath + ": " + tool_text::Text(tool_text::ReplayNothing));
        return kBadSetup;
    }
    size_t total = 0;
    for (const ReplayStep& s : steps) total += s.bytes.size();

    PipePair pipes;
    std::string detail;
    const unsigned id = pipes.Create(options, detail);
    if (id != tool_text::Ok) {
        Complain(std::string(tool_text::Text(id)) + ": " + detail);
        return kBadSetup;
    }
    const uint64_t endMs = options.timeoutMs ? GetTickCount64() + options.timeoutMs : 0;
    const uint64_t lengthMs = steps.empty() ? 0 : steps.back().atUs / 1000;
    Say("replay " + options.replayPath + ": " + std::to_string(steps.size()) + " blocks, " + std::to_string(total) +
        " bytes over " + std::to_string(lengthMs / 1000) + "." + std::to_string(lengthMs % 1000 / 100) +
        " s at speed " + SpeedText(options.speedMilli) + " on " + pipes.ReadPipeName() + " / " + pipes.WritePipeName());
    for (;;) {
        if (endMs && GetTickCount64() >= endMs) {
            Say("time limit reached before a panel connected");
            return kCutShort;
        }
        const LinkStatus status = pipes.WaitConnected(kSliceMs);
        if (status == LinkStatus::Ok) break;
        if (status == LinkStatus::Closed) {
            Complain("the panel's pipe failed");
            return kBadSetup;
        }
    }
    Say("panel connected");
    Listener listener(pipes, endMs);
    const uint64_t startMs = GetTickCount64();
    for (size_t i = 0; i < steps.size(); ++i) {
        LinkStatus status = listener.WaitUntil(startMs + steps[i].atUs / 1000);
        if (status == LinkStatus::Ok) status = pipes.Send(steps[i].bytes, kSendTimeoutMs);
        if (status != LinkStatus::Ok) {
            if (status == LinkStatus::TimedOut) pipes.SendExitNotice();
            Say((status == LinkStatus::Closed ? "the panel left" : "time limit reached") + std::string(" at block ") +
                std::to_string(i + 1) + " of " + std::to_string(steps.size()));
            return kCutShort;
        }
    }
    Say("replay done: " + std::to_string(steps.size()) + " blocks, " + std::to_string(total) +
        " bytes; holding the pipes until the panel closes");
    if (listener.WaitUntil(UINT64_MAX) == LinkStatus::Closed) {
        Say("panel disconnected");
    } else {
        pipes.SendExitNotice();
        Say("time limit reached");
    }
    return kPlayed;
}

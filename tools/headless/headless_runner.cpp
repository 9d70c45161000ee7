// Steps of a headless script: a key click as the key control makes it (latch keys in two
// steps), computer keys through their table, and screen waits that end early once nothing
// can change any more; a control lost without its exit notice fails the step it is found in.
#include "tools/headless/headless_runner.h"

#include <algorithm>

#include "protocol/key_table.h"
#include "link/command_encoder.h"
#include "tools/common/escapes.h"

namespace {
constexpr int32_t kSelectFirstLine = 1;  // click numbers lines from 1, SelectLine from 0
constexpr uint64_t kSettlePollMs = 10;

std::string Quoted(const std::string& text) { return "\"" + ShowBytes(text) + "\""; }

std::string RightTrimmed(const std::string& s) {
    size_t end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

std::string StepText(const HeadlessStep& step) {
    std::string text = "line " + std::to_string(step.line) + ": " + HeadlessStepName(step.kind);
    switch (step.kind) {
        case HeadlessKind::Key:
        case HeadlessKind::Keyboard:
        case HeadlessKind::ExpectScreen:
            return text + " " + ShowBytes(step.text);
        case HeadlessKind::Click:
            return text + " " + std::to_string(step.value);
        case HeadlessKind::ExpectLine:
            return text + " " + std::to_string(step.value) + " " + Quoted(step.text);
        case HeadlessKind::Branch:
        case HeadlessKind::Expect:
            return text + " " + Quoted(step.text);
        default:
            return text;
    }
}

const char* EndedText(PanelState state) {
    return state == PanelState::Exited ? "the control has exited" : "the control's pipes are gone";
}
}  // namespace

// A masked cell matches anything; past the text both lines hold blanks.
bool LineMatches(const std::string& expected, const std::string& shown, char mask) {
    for (size_t i = 0; i < static_cast<size_t>(screen::Columns); ++i) {
        const char want = i < expected.size() ? expected[i] : ' ';
        const char got = i < shown.size() ? shown[i] : ' ';
        if (want != got && !(mask && want == mask)) return false;
    }
    return true;
}

std::string ScreenMismatch(const ExpectedScreen& expected, const ScreenCopy& shown) {
    for (int i = 0; i < screen::Lines; ++i) {
        if (!LineMatches(expected.lines[i], shown.lines[i], expected.mask))
            return "line " + std::to_string(i + 1) + " shows " + Quoted(RightTrimmed(shown.lines[i])) +
                   ", the file has " + Quoted(expected.lines[i]);
    }
    const auto at = [](int row, int column) {
        return "line " + std::to_string(row + 1) + " column " + std::to_string(column + 1);
    };
    if (expected.checkCursor && (shown.row != expected.row || shown.column != expected.column))
        return "the cursor is at " + at(shown.row, shown.column) + ", the file has " + at(expected.row, expected.column);
    return {};
}

HeadlessRunner::HeadlessRunner(HeadlessPanel& panel, Output log, Output print)
    : panel_(panel), log_(std::move(log)), print_(std::move(print)) {}

HeadlessResult HeadlessRunner::Run(const std::vector<HeadlessStep>& steps, uint32_t overallMs) {
    overallMs_ = overallMs;
    overallDeadline_ = panel_.NowMs() + overallMs;
    for (const HeadlessStep& step : steps) {
        HeadlessResult result = Play(step);
        if (!result.passed) return result;
    }
    if (!steps.empty()) {
        HeadlessResult settled = Settle(steps.back());
        if (!settled.passed) return settled;
    }
    return {true, 0, "script passed: " + std::to_string(steps.size()) + (steps.size() == 1 ? " step" : " steps")};
}

std::string HeadlessRunner::Loss(PanelState state) {
    if (state == PanelState::Exited) return {};
    if (const char* text = panel_.LostControlText()) return text;
    return state == PanelState::Lost ? EndedText(state) : std::string();
}

HeadlessResult HeadlessRunner::Play(const HeadlessStep& step) {
    if (panel_.NowMs() >= overallDeadline_) return Fail(step, "not played: " + OverallTimeOut());
    // The real panel closes when its control goes: nothing after that may pass.
    const std::string lost = Loss(panel_.State());
    if (!lost.empty()) return Fail(step, "not played: " + lost);
    switch (step.kind) {
        case HeadlessKind::Key:
        case HeadlessKind::Keyboard:
        case HeadlessKind::Click:
        case HeadlessKind::Branch:
            return Press(step);
        case HeadlessKind::Expect:
            return AwaitScreen(step, [&](const ScreenCopy& s) {
                for (const std::string& line : s.lines)
                    if (line.find(step.text) != std::string::npos) return std::string();
                return std::string("not on the screen");
            });
        case HeadlessKind::ExpectLine:
            return AwaitScreen(step, [&](const ScreenCopy& s) {
                const std::string shown = RightTrimmed(s.lines[step.value - 1]);
                return shown == RightTrimmed(step.text) ? std::string() : "the line shows " + Quoted(shown);
            });
        case HeadlessKind::ExpectScreen:
            return AwaitScreen(step, [&](const ScreenCopy& s) { return ScreenMismatch(step.screen, s); });
        case HeadlessKind::Screen:
            print_(FormatScreen(panel_.Screen()));
            return {true, 0, {}};
        case HeadlessKind::ExpectExit:
            return AwaitExit(step);
        case HeadlessKind::Wait:
            return Pause(step);
    }
    return Fail(step, "unknown step");
}

HeadlessResult HeadlessRunner::Press(const HeadlessStep& step) {
    if (panel_.State() == PanelState::Exited) return Fail(step, "the panel has closed: the control has exited");
    sent_.clear();
    branchToOpened_ = false;
    const bool fastBefore = latches_.ShowsPushed(KeyId::Fast);
    const bool slowBefore = latches_.ShowsPushed(KeyId::Slow);
    switch (step.kind) {
        case HeadlessKind::Key:
            if (KeyTable::Mode(step.value) == KeyTable::Latch) {
                // The click is reported only when it latches the key, and handled before the
                // key's look follows its latch again.
                if (latches_.BeginClick(step.value)) PerformKeyAction(ActionForKey(step.value), *this);
                latches_.EndClick(step.value);
            } else {
                PerformKeyAction(ActionForKey(step.value), *this);
            }
            break;
        case HeadlessKind::Keyboard:
            PerformKeyAction(ActionForVirtualKey(static_cast<uint32_t>(step.value)), *this);
            break;
        case HeadlessKind::Click:
            SendCommand({panel_command::SelectLine, step.value - kSelectFirstLine, 0});
            break;
        default:
            sent_ = panel_.BranchTo(step.text);
            break;
    }
    if (const char* lost = panel_.LostControlText()) return Fail(step, lost);
    std::string note = sent_.empty() ? "sent nothing" : "sent " + Quoted(sent_);
    if (branchToOpened_) note += " (this key opens Branch To: use branch TEXT)";
    note += LampNote(fastBefore, slowBefore);
    log_(StepText(step) + ": " + note);
    return {true, 0, {}};
}

std::string HeadlessRunner::LampNote(bool fastBefore, bool slowBefore) const {
    const bool fast = latches_.ShowsPushed(KeyId::Fast);
    const bool slow = latches_.ShowsPushed(KeyId::Slow);
    if (fast == fastBefore && slow == slowBefore) return {};
    return std::string("; FAST ") + (fast ? "lit" : "out") + ", SLOW " + (slow ? "lit" : "out");
}

int32_t HeadlessRunner::SendCommand(const PanelCommand& command) {
    char bytes[CommandBufferSize];
    const int n = EncodeCommand(command, bytes);
    sent_.append(bytes, static_cast<size_t>(n));
    return panel_.QueueCommand(command);
}

int HeadlessRunner::WriteBytes(const char* bytes, int32_t count) {
    sent_.append(bytes, static_cast<size_t>(count));
    return panel_.WriteBytes(bytes, count);
}

uint64_t HeadlessRunner::StepDeadline(const HeadlessStep& step, bool* overallFirst) {
    const uint64_t deadline = panel_.NowMs() + step.timeoutMs;
    *overallFirst = deadline > overallDeadline_;
    return *overallFirst ? overallDeadline_ : deadline;
}

std::string HeadlessRunner::TimedOut(const HeadlessStep& step, bool overallFirst) const {
    return overallFirst ? OverallTimeOut() : "after " + std::to_string(step.timeoutMs) + " ms";
}

HeadlessResult HeadlessRunner::AwaitScreen(const HeadlessStep& step,
                                           const std::function<std::string(const ScreenCopy&)>& mismatch) {
    const uint64_t start = panel_.NowMs();
    bool overallFirst = false;
    const uint64_t deadline = StepDeadline(step, &overallFirst);
    for (;;) {
        // The state is read before the screen: a screen read after an end is final, and one read
        // after a loss is a dead one.
        const PanelState state = panel_.State();
        const std::string lost = Loss(state);
        if (!lost.empty()) return Fail(step, lost);
        const std::string why = mismatch(panel_.Screen());
        if (why.empty()) {
            log_(StepText(step) + ": held after " + std::to_string(panel_.NowMs() - start) + " ms");
            return {true, 0, {}};
        }
        if (state != PanelState::Connected) return Fail(step, why + "; " + EndedText(state));
        const uint64_t now = panel_.NowMs();
        if (now >= deadline) return Fail(step, why + " " + TimedOut(step, overallFirst));
        panel_.WaitForChange(static_cast<uint32_t>(deadline - now));
    }
}

HeadlessResult HeadlessRunner::AwaitExit(const HeadlessStep& step) {
    bool overallFirst = false;
    const uint64_t deadline = StepDeadline(step, &overallFirst);
    for (;;) {
        const PanelState state = panel_.State();
        if (state == PanelState::Exited) {
            log_(StepText(step) + ": held");
            return {true, 0, {}};
        }
        if (state == PanelState::Lost) return Fail(step, "the control's pipes closed without the exit notice");
        const std::string lost = Loss(state);
        if (!lost.empty()) return Fail(step, lost);
        const uint64_t now = panel_.NowMs();
        if (now >= deadline) return Fail(step, "no exit notice " + TimedOut(step, overallFirst));
        panel_.WaitForChange(static_cast<uint32_t>(deadline - now));
    }
}

HeadlessResult HeadlessRunner::Pause(const HeadlessStep& step) {
    const uint64_t now = panel_.NowMs();
    const uint64_t left = overallDeadline_ > now ? overallDeadline_ - now : 0;
    const bool cut = step.timeoutMs > left;
    const uint64_t end = now + (cut ? left : step.timeoutMs);
    for (;;) {
        // A control lost meanwhile fails the wait at once, as the real panel would close at once.
        const PanelState state = panel_.State();
        const std::string lost = Loss(state);
        if (!lost.empty()) return Fail(step, lost);
        const uint64_t t = panel_.NowMs();
        if (t >= end) break;
        // After the exit notice the reader has ended: a wait for a change would return at once.
        if (state == PanelState::Exited) {
            panel_.SleepMs(static_cast<uint32_t>(end - t));
        } else {
            panel_.WaitForChange(static_cast<uint32_t>(end - t));
        }
    }
    if (cut) return Fail(step, "ended " + OverallTimeOut());
    return {true, 0, {}};
}

HeadlessResult HeadlessRunner::Settle(const HeadlessStep& last) {
    const std::string after = "after " + StepText(last);
    for (;;) {
        const PanelState state = panel_.State();
        const std::string lost = Loss(state);
        if (!lost.empty()) return {false, last.line, after + ": " + lost, StepText(last)};
        if (state == PanelState::Exited || !panel_.Sending()) return {true, 0, {}};
        const uint64_t now = panel_.NowMs();
        if (now >= overallDeadline_)
            return {false, last.line, after + ": the control has not taken what was sent " + OverallTimeOut(),
                    StepText(last)};
        panel_.SleepMs(static_cast<uint32_t>(std::min<uint64_t>(kSettlePollMs, overallDeadline_ - now)));
    }
}

HeadlessResult HeadlessRunner::Fail(const HeadlessStep& step, const std::string& why) const {
    return {false, step.line, StepText(step) + " failed: " + why, StepText(step)};
}

std::string HeadlessRunner::OverallTimeOut() const {
    return "when the overall time-out of " + std::to_string(overallMs_) + " ms was reached";
}

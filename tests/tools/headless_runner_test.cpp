// The headless runner against a fake panel with a fake clock: keys through the bindings and the
// latch roads, expectations that wait for changes, fail on time or early once nothing can change.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/command_encoder.h"
#include "tools/common/texts.h"
#include "tools/headless/headless_runner.h"

namespace {
// A panel whose screen and state change at given moments of a fake clock.
class FakePanel final : public HeadlessPanel {
public:
    struct Change {
        uint64_t atMs;
        int row;  // -1: no text
        std::string text;
        PanelState state;
    };
    explicit FakePanel(std::vector<Change> changes) : changes_(std::move(changes)) {
        for (std::string& line : screen_.lines) line = std::string(screen::Columns, ' ');
    }
    int32_t QueueCommand(const PanelCommand& command) override {
        char bytes[CommandBufferSize];
        sent += std::string(bytes, static_cast<size_t>(EncodeCommand(command, bytes)));
        return 1;
    }
    int WriteBytes(const char* bytes, int32_t count) override {
        sent.append(bytes, static_cast<size_t>(count));
        return 1;
    }
    std::string BranchTo(const std::string& text) override {
        sent += "q" + text + "\n";
        return "q" + text + "\n";
    }
    ScreenCopy Screen() override { return screen_; }
    PanelState State() override { return state_; }
    const char* LostControlText() override { return lost ? "Communications error" : nullptr; }
    bool Sending() override { return now_ < takenAtMs; }
    // Every change of the next moment at once (text and state may change together).
    void WaitForChange(uint32_t ms) override {
        const uint64_t until = now_ + ms;
        if (next_ < changes_.size() && changes_[next_].atMs <= until) {
            now_ = changes_[next_].atMs > now_ ? changes_[next_].atMs : now_;
            while (next_ < changes_.size() && changes_[next_].atMs <= now_) Apply(changes_[next_++]);
        } else {
            now_ = until;
        }
    }
    uint64_t NowMs() override { return now_; }
    void SleepMs(uint32_t ms) override {
        now_ += ms;
        while (next_ < changes_.size() && changes_[next_].atMs <= now_) Apply(changes_[next_++]);
    }

    std::string sent;
    bool lost = false;          // a command found the control gone
    uint64_t takenAtMs = 0;     // until then what was sent waits for the control

private:
    void Apply(const Change& c) {
        if (c.row >= 0) screen_.lines[c.row] = (c.text + std::string(screen::Columns, ' ')).substr(0, screen::Columns);
        state_ = c.state;
    }
    std::vector<Change> changes_;
    size_t next_ = 0;
    uint64_t now_ = 0;
    ScreenCopy screen_;
    PanelState state_ = PanelState::Connected;
};

std::vector<HeadlessStep> Steps(const std::string& text) {
    std::vector<HeadlessStep> steps;
    ScriptReport error;
    EXPECT_EQ(ParseHeadlessScript(text, [](const std::string&, std::string&) { return false; }, steps, error), 0u)
        << text;
    return steps;
}

HeadlessResult Play(FakePanel& panel, const std::string& script, uint32_t overallMs = 60000) {
    HeadlessRunner runner(panel, [](const std::string&) {}, [](const std::string&) {});
    return runner.Run(Steps(script), overallMs);
}

TEST(HeadlessRunner, KeysTakeTheWindowsRoadsThroughTheLatches) {
    struct Case {
        const char* script;
        const char* sent;
    };
    const Case cases[] = {
        {"key ADJUST UP\nkey ADJUST DOWN", "AS"},
        {"key FAST\nkey ADJUST UP\nkey FAST\nkey ADJUST UP", "BQA"},  // the second click unlatches silently
        {"key FAST\nkey SLOW\nkey ADJUST DOWN\nkey ADJUST UP", "BCXZ"},
        {"keyboard SHIFT\nkeyboard INSERT\nkeyboard SHIFT\nkeyboard M", "QBS"},
        {"keyboard CONTROL\nkey FAST\nkey ADJUST UP", "BQ"},  // FAST releases SLOW
        {"keyboard C\nkey ADJUST UP", "BA"},                   // the letter sends B without latching
        {"key LINE UP\nkey LINE DOWN\nkey UP\nkey RIGHT\nkey 0\nkey NEG\nkey .\nkey :\nkey ENTER\nkey EXIT", "oOKL0-.:\nP"},
        {"click 1\nclick 20\nbranch params\nkeyboard Q\nkeyboard F1", "p1\np20\nqPARAMS\n"},
        // A latch released by the other key is up, not only unlit: the next click latches it.
        {"key FAST\nkey SLOW\nkey FAST\nkey ADJUST UP", "BCBQ"},
        {"keyboard SHIFT\nkey SLOW\nkeyboard SHIFT\nkey ADJUST UP", "CQ"},
    };
    for (const Case& c : cases) {
        FakePanel panel({});
        const HeadlessResult r = Play(panel, c.script);
        EXPECT_TRUE(r.passed) << c.script << ": " << r.message;
        EXPECT_EQ(panel.sent, c.sent) << c.script;
    }
}

TEST(HeadlessRunner, ExpectationsWaitHoldOrFailWithTheirLine) {
    const std::vector<FakePanel::Change> changes = {
        {100, 0, "MAIN MENU", PanelState::Connected},
        {2000, 3, "  > Force   200.0 kN", PanelState::Connected},
        {5000, 9, "CONTROLLER STOPPED", PanelState::Exited},
    };
    struct Case {
        const char* script;
        uint32_t overallMs;
        int failedLine;  // 0: passes
        const char* message;
    };
    const Case cases[] = {
        {"expect MAIN MENU 200\nexpect-line 4   > Force   200.0 kN 2000\nexpect-exit 4000", 60000, 0, ""},
        {"expect MAIN MENU 50", 60000, 1, "line 1: expect \"MAIN MENU\" failed: not on the screen after 50 ms"},
        {"expect MAIN\nexpect-line 1 MAIN", 60000, 2, "the line shows \"MAIN MENU\" after 3000 ms"},
        {"expect-exit 1000", 60000, 1, "no exit notice after 1000 ms"},
        {"expect-exit 9000\nexpect STOPPED\nexpect NEVER 60000", 60000, 3, "not on the screen; the control has exited"},
        {"expect-exit 9000\nkey UP", 60000, 2, "the panel has closed: the control has exited"},
        {"wait 100\nexpect NEVER 30000", 2000, 2, "not on the screen when the overall time-out of 2000 ms was reached"},
        {"wait 3000\nkey UP", 2000, 1, "ended when the overall time-out of 2000 ms was reached"},
    };
    for (const Case& c : cases) {
        FakePanel panel(changes);
        const HeadlessResult r = Play(panel, c.script, c.overallMs);
        EXPECT_EQ(r.passed, c.failedLine == 0) << c.script << ": " << r.message;
        EXPECT_EQ(r.line, c.failedLine) << c.script;
        EXPECT_NE(r.message.find(c.message), std::string::npos) << r.message;
    }
}

// The real panel closes when its control goes: a loss fails the step it is found in (a wait at
// once), or the step after, and a script never passes once the control is gone.
TEST(HeadlessRunner, ALostControlFailsTheScriptAtOnceOrAtTheNextStep) {
    const FakePanel::Change shown = {50, 0, "MAIN MENU", PanelState::Connected};
    const FakePanel::Change gone = {1000, -1, "", PanelState::Lost};
    struct Case {
        const char* script;
        std::vector<FakePanel::Change> changes;
        bool commandLost;   // a command found the control gone
        uint64_t takenAtMs;  // what was sent is taken then
        int failedLine;
        const char* message;
        uint64_t failedAtMs;  // the fake clock when the run ended
    };
    const Case cases[] = {
        {"expect MAIN MENU\nwait 20000\nkey DOWN\nexpect MAIN MENU", {shown, gone}, false, 0, 2,
         "line 2: wait failed: the control's pipes are gone", 1000},
        // The screen it showed last, read after the control went, is not evidence.
        {"expect MAIN MENU within 100", {{50, 0, "MAIN MENU", PanelState::Lost}}, false, 0, 1,
         "line 1: expect \"MAIN MENU\" failed: the control's pipes are gone", 50},
        {"expect-exit within 5000", {gone}, false, 0, 1, "closed without the exit notice", 1000},
        {"key UP", {}, true, 0, 1, "line 1: key UP failed: not played: Communications error", 0},
        // Gone after the last step, before the control took what it sent.
        {"expect MAIN MENU\nkey DOWN", {shown, gone}, false, 60000, 2,
         "after line 2: key DOWN: the control's pipes are gone", 1000},
        {"expect MAIN MENU\nkey DOWN", {shown}, false, 60000, 2,
         "after line 2: key DOWN: the control has not taken what was sent when the overall time-out", 5000},
        {"expect MAIN MENU\nkey DOWN", {shown, gone}, false, 300, 0, "script passed: 2 steps", 300},
    };
    for (const Case& c : cases) {
        FakePanel panel(c.changes);
        panel.lost = c.commandLost;
        panel.takenAtMs = c.takenAtMs;
        const HeadlessResult r = Play(panel, c.script, 5000);
        EXPECT_EQ(r.passed, c.failedLine == 0) << c.script << ": " << r.message;
        EXPECT_EQ(r.line, c.failedLine) << c.script;
        EXPECT_NE(r.message.find(c.message), std::string::npos) << c.script << ": " << r.message;
        EXPECT_LE(panel.NowMs(), c.failedAtMs + 10) << c.script << ": not at once";
    }
}
}  // namespace

// Script playing against a scripted fake panel on a fake clock: strict in-order matching,
// time-outs per step and overall, closes from either side, and the failure messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "tools/sim/script.h"
#include "tools/sim/script_runner.h"

namespace {
class FakeClock : public Clock {
public:
    uint64_t NowMs() override { return now; }
    void SleepMs(uint32_t ms) override { now += ms; }
    uint64_t now = 1000;
};

// The panel side: bytes (or its close) arriving at given times.
class FakePanel : public PeerLink {
public:
    struct Arrival {
        uint64_t atMs;
        std::string bytes;
        bool closes;
    };
    explicit FakePanel(FakeClock& clock) : clock_(clock) {}

    void Arrive(uint64_t atMs, std::string bytes) { arrivals_.push_back({atMs, std::move(bytes), false}); }
    void CloseAt(uint64_t atMs) { arrivals_.push_back({atMs, {}, true}); }

    LinkStatus WaitConnected(uint32_t timeoutMs) override {
        if (connectFails) return LinkStatus::Closed;
        if (connectAt > clock_.now + timeoutMs) {
            clock_.now += timeoutMs;
            return LinkStatus::TimedOut;
        }
        clock_.now = std::max(clock_.now, connectAt);
        return LinkStatus::Ok;
    }
    LinkStatus Send(std::string_view bytes, uint32_t) override {
        if (closed_ || PanelGone()) return LinkStatus::Closed;
        sent.emplace_back(bytes);
        return LinkStatus::Ok;
    }
    LinkStatus Receive(std::string& out, uint32_t timeoutMs) override {
        if (closed_) return LinkStatus::Closed;
        if (arrivals_.empty() || arrivals_.front().atMs > clock_.now + timeoutMs) {
            clock_.now += timeoutMs;
            return LinkStatus::TimedOut;
        }
        Arrival a = arrivals_.front();
        clock_.now = std::max(clock_.now, a.atMs);
        if (a.closes) return LinkStatus::Closed;
        arrivals_.pop_front();
        out += a.bytes;
        return LinkStatus::Ok;
    }
    void Close() override { closed_ = true; }

    uint64_t connectAt = 0;
    bool connectFails = false;
    std::vector<std::string> sent;

private:
    bool PanelGone() const {
        return !arrivals_.empty() && arrivals_.front().closes && arrivals_.front().atMs <= clock_.now;
    }
    FakeClock& clock_;
    std::deque<Arrival> arrivals_;
    bool closed_ = false;
};

struct Fixture {
    FakeClock clock;
    FakePanel panel{clock};
    std::vector<std::string> log;

    RunResult Run(const char* script, uint32_t overallMs = 60000) {
        std::vector<ScriptStep> steps;
        ScriptReport error;
        EXPECT_EQ(ParseScript(script, steps, error), 0u) << script;
        ScriptRunner runner(panel, clock, [this](const std::string& line) { log.push_back(line); });
        return runner.Run(steps, overallMs);
    }
};

TEST(SimScriptRunner, HeldExpectationsAcrossSplitArrivals) {
    Fixture f;
    f.panel.Arrive(1100, "P");
    f.panel.Arrive(1200, "PK");
    f.panel.Arrive(1300, "VF");
    f.panel.Arrive(1400, "Dp3\n");
    RunResult r = f.Run("send \\x1A\nexpect PP 500\nexpect K\nexpect VFD\nexpect p3\\n");
    EXPECT_TRUE(r.passed) << r.message;
    EXPECT_EQ(r.line, 0);
    ASSERT_EQ(f.panel.sent.size(), 1u);
    EXPECT_EQ(f.panel.sent[0], "\x1A");
}

TEST(SimScriptRunner, FirstFailureIsNamedWithExpectedAndReceivedBytes) {
    struct Case {
        const char* arrives;
        const char* script;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"PX", "expect PP\nexpect \\x1A", 1, "line 1: expect \"PP\" failed: received \"PX\" (differs at byte 2)"},
        {"PPK", "expect PPKQ 400", 1, "line 1: expect \"PPKQ\" failed: timed out after 400 ms; received \"PPK\""},
        {"PPK", "expect P\nexpect P\nexpect \\n 100", 3,
         "line 3: expect \"\\n\" failed: received \"K\" (differs at byte 1)"},
        // The panel's start-up commands before what a script waited for first: the way out is named.
        {"PVFDPK", "send \\x1A\nexpect VFD", 2,
         "line 2: expect \"VFD\" failed: received \"PVFDPK\" (differs at byte 1); a panel sends \"PPK\" as soon as "
         "it connects: expect PPK first"},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.panel.Arrive(1010, c.arrives);
        RunResult r = f.Run(c.script);
        EXPECT_FALSE(r.passed) << c.script;
        EXPECT_EQ(r.line, c.line) << c.script;
        EXPECT_EQ(r.message, c.message) << c.script;
    }
}

TEST(SimScriptRunner, MismatchFailsAtOnceWithoutWaitingForTheTimeOut) {
    Fixture f;
    f.panel.Arrive(1050, "Q");
    RunResult r = f.Run("expect A 3000");
    EXPECT_FALSE(r.passed);
    EXPECT_EQ(f.clock.now, 1050u);
}

TEST(SimScriptRunner, ExpectationTimeOutIsMeasuredFromTheStep) {
    Fixture f;
    f.panel.Arrive(1000 + 2500, "A");
    RunResult r = f.Run("wait 2000\nexpect A 400");
    EXPECT_FALSE(r.passed);
    EXPECT_EQ(f.clock.now, 1000u + 2000 + 400);
    Fixture g;
    g.panel.Arrive(1000 + 2300, "A");
    EXPECT_TRUE(g.Run("wait 2000\nexpect A 400").passed);
}

TEST(SimScriptRunner, PanelClosingDuringAnExpectation) {
    Fixture f;
    f.panel.Arrive(1100, "P");
    f.panel.CloseAt(1200);
    RunResult r = f.Run("expect PPK");
    EXPECT_FALSE(r.passed);
    EXPECT_EQ(r.message, "line 1: expect \"PPK\" failed: the panel closed the pipes; received \"P\"");
}

TEST(SimScriptRunner, ExpectClosedHoldsOnlyForACleanClose) {
    {
        Fixture f;
        f.panel.Arrive(1100, "PPK");
        f.panel.CloseAt(1500);
        EXPECT_TRUE(f.Run("expect PPK\nexpect-closed 1000").passed);
    }
    {
        Fixture f;
        f.panel.Arrive(1100, "PPK");
        f.panel.CloseAt(1500);
        RunResult r = f.Run("expect PP\nexpect-closed 1000");
        EXPECT_EQ(r.message, "line 2: expect-closed failed: received \"K\" instead of the close");
    }
    {
        Fixture f;
        f.panel.CloseAt(5000);
        RunResult r = f.Run("expect-closed 1000");
        EXPECT_EQ(r.message, "line 1: expect-closed failed: the panel still holds the pipes after 1000 ms");
        EXPECT_EQ(f.clock.now, 2000u);
    }
}

TEST(SimScriptRunner, CloseStepEndsTheConnectionForLaterSteps) {
    {
        Fixture f;
        EXPECT_TRUE(f.Run("send A\nclose\nwait 10").passed);
        EXPECT_EQ(f.panel.sent.size(), 1u);
    }
    {
        Fixture f;
        RunResult r = f.Run("close\nsend A");
        EXPECT_EQ(r.message, "line 2: send \"A\" failed: the pipes were closed at line 1");
    }
    {
        Fixture f;
        RunResult r = f.Run("close\n# gap\nexpect A");
        EXPECT_EQ(r.message, "line 3: expect \"A\" failed: the pipes were closed at line 1; received \"\"");
    }
}

TEST(SimScriptRunner, SendToAGonePanelFails) {
    Fixture f;
    f.panel.CloseAt(1000);
    RunResult r = f.Run("send \\@5,10Hi");
    EXPECT_EQ(r.message, "line 1: send \"\\@5,10Hi\" failed: the panel closed the pipes");
}

TEST(SimScriptRunner, OverallTimeOutBoundsEveryKindOfWait) {
    struct Case {
        const char* script;
        const char* message;
    };
    const Case cases[] = {
        {"expect A 9000", "line 1: expect \"A\" failed: overall time-out of 5000 ms reached; received \"\""},
        {"wait 9000", "line 1: wait failed: overall time-out of 5000 ms reached"},
        {"expect-closed 9000", "line 1: expect-closed failed: overall time-out of 5000 ms reached"},
        {"wait 3000\nwait 3000", "line 2: wait failed: overall time-out of 5000 ms reached"},
        {"wait 5000\nsend A", "line 2: send \"A\" failed: overall time-out of 5000 ms reached"},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.panel.CloseAt(100000);
        RunResult r = f.Run(c.script, 5000);
        EXPECT_FALSE(r.passed) << c.script;
        EXPECT_EQ(r.message, c.message) << c.script;
        EXPECT_EQ(f.clock.now, 6000u) << c.script;
    }
}

TEST(SimScriptRunner, NoPanelWithinTheOverallTimeOrBrokenPipesEndTheRunUnplayed) {
    const struct {
        bool pipesFail;
        const char* message;
    } cases[] = {{false, "no panel connected within 3000 ms"}, {true, "the pipes failed while waiting for a panel"}};
    for (const auto& c : cases) {
        Fixture f;
        f.panel.connectAt = 50000;
        f.panel.connectFails = c.pipesFail;
        RunResult r = f.Run("send A", 3000);
        EXPECT_FALSE(r.passed);
        EXPECT_EQ(r.line, 0);
        EXPECT_EQ(r.message, c.message);
        EXPECT_TRUE(f.panel.sent.empty());
    }
}

TEST(SimScriptRunner, ConnectionTimeCountsAgainstTheOverallLimit) {
    Fixture f;
    f.panel.connectAt = 1000 + 4000;
    RunResult r = f.Run("wait 1500", 5000);
    EXPECT_EQ(r.message, "line 1: wait failed: overall time-out of 5000 ms reached");
}

TEST(SimScriptRunner, LogsEachStepAndBytesLeftUnchecked) {
    Fixture f;
    f.panel.Arrive(1100, "PPK");
    RunResult r = f.Run("send \\x01\nexpect P");
    ASSERT_TRUE(r.passed);
    EXPECT_EQ(r.message, "script passed: 2 steps");
    const std::vector<std::string> expected = {
        "waiting for a panel", "panel connected", "line 1: send \"\\x01\": sent 1 byte",
        "line 2: expect \"P\": held", "not checked, received after the last expectation: \"PK\""};
    EXPECT_EQ(f.log, expected);
}
}  // namespace

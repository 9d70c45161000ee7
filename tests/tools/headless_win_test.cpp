// The headless panel under Wine with real pipes, held to what the real panel does: a control
// killed in the middle of a script fails the script at once with the panel's reason, and the
// FAST/SLOW latch roads send the real panel's bytes and light its lamps, step by step.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "protocol/key_ids.h"
#include "tests/app/panel_process_win.h"
#include "tests/keypad/panel_input_win.h"
#include "tests/tools/sim_client_win.h"

namespace {
constexpr DWORD kWait = 15000;
// Well below the waits of the scripts below: a loss must end the run, not the script's clock.
constexpr DWORD kAtOnce = 5000;
constexpr char kLost[] = "Communications error, control is no longer available.";

std::string Quote(const std::string& path) { return "\"" + path + "\""; }

TEST(HeadlessLoss, AControlKilledMidScriptFailsTheScriptAtOnceWithTheReason) {
    struct Row {
        const char* script;  // line 1 holds before the kill; the kill falls into line 2
        const char* failed;
    };
    const std::string lost = std::string(": ") + kLost;
    const Row rows[] = {
        {"expect MAIN MENU within 10000\nwait 20000\nkey DOWN\nexpect MAIN MENU\n", "line 2: wait failed"},
        {"expect MAIN MENU within 10000\nexpect NEVER SHOWN within 20000\n",
         "line 2: expect \"NEVER SHOWN\" failed"},
        {"expect MAIN MENU within 10000\nexpect-exit within 20000\n",
         "line 2: expect-exit failed: the control's pipes closed without the exit notice"},
    };
    for (const Row& r : rows) {
        auto sim = std::make_unique<ToolProcess>("sim", "--device 2 --timeout 60000");
        ASSERT_TRUE(sim->WaitOutput("listening", kWait)) << sim->Output();
        TempScript script(r.script);
        ToolProcess panel("headless", "-l --script " + Quote(script.Path()));
        ASSERT_TRUE(panel.WaitOutput("line 1: expect \"MAIN MENU\": held", kWait)) << panel.Output();
        Sleep(300);
        sim.reset();  // terminated: its pipes close without the exit notice
        EXPECT_EQ(panel.WaitExit(kAtOnce), 1) << r.script << panel.Output();
        const std::string out = panel.Output();
        EXPECT_NE(out.find("FAILED " + script.Path() + " " + r.failed), std::string::npos) << out;
        if (std::string(r.failed).find("exit notice") == std::string::npos) {
            EXPECT_NE(out.find(r.failed + lost), std::string::npos) << out;
        }
        EXPECT_EQ(out.find("script passed"), std::string::npos) << out;
    }
}

// One operator step of the latch roads, as the real panel gets it and as a script line.
enum class Input { ClickFast, ClickSlow, Shift, Control, AdjustUp };

struct LatchStep {
    Input input;
    const char* bytes;
    bool fast, slow;  // the lamps afterwards
};

// FAST, SLOW, FAST; Shift and Ctrl among clicks: each latch released by the other must be up,
// not only unlit, for the next click or key to latch it again.
constexpr LatchStep kLatchSteps[] = {
    {Input::ClickFast, "B", true, false}, {Input::ClickSlow, "C", false, true}, {Input::ClickFast, "B", true, false},
    {Input::AdjustUp, "Q", true, false},  {Input::Shift, "B", false, false},    {Input::Control, "", false, true},
    {Input::ClickFast, "B", true, false}, {Input::Control, "", false, true},    {Input::ClickSlow, "", false, false},
    {Input::Shift, "", true, false},      {Input::ClickSlow, "C", false, true}, {Input::Shift, "", true, false},
    {Input::AdjustUp, "Q", true, false},  {Input::Control, "", false, true},   {Input::Control, "C", false, false},
};

const char* ScriptLine(Input input) {
    switch (input) {
        case Input::ClickFast: return "key FAST";
        case Input::ClickSlow: return "key SLOW";
        case Input::Shift: return "keyboard SHIFT";
        case Input::Control: return "keyboard CONTROL";
        case Input::AdjustUp: return "key ADJUST UP";
    }
    return "";
}

void Perform(Input input, HWND frame) {
    using namespace panel_input;
    switch (input) {
        case Input::ClickFast: return Click(KeyCenter(frame, KeyId::Fast));
        case Input::ClickSlow: return Click(KeyCenter(frame, KeyId::Slow));
        case Input::Shift: return Tap(VK_SHIFT);
        case Input::Control: return Tap(VK_CONTROL);
        case Input::AdjustUp: return Click(KeyCenter(frame, KeyId::AdjustUp));
    }
}

struct Outcome {
    std::string bytes;
    bool fast = false, slow = false;
};

std::string Shown(const Outcome& o) {
    return "\"" + o.bytes + "\", FAST " + (o.fast ? "lit" : "out") + ", SLOW " + (o.slow ? "lit" : "out");
}

// The real panel with real input: what each step sent and the lamps after it.
std::vector<Outcome> RealPanel() {
    std::vector<Outcome> seen;
    PipePeer peer(2);
    PanelProcess panel("-l");
    HWND frame = WaitConnectedLocally(peer, panel, kWait);
    if (!frame) return seen;
    panel_input::Click(panel_input::OnScreen(frame, 620, 40));  // neither a key nor a line: activates
    Sleep(120);
    for (const LatchStep& s : kLatchSteps) {
        Perform(s.input, frame);
        Outcome o;
        o.bytes = peer.ReceiveFor(400);
        o.fast = panel_input::ShowsPushed(frame, KeyId::Fast);
        o.slow = panel_input::ShowsPushed(frame, KeyId::Slow);
        seen.push_back(o);
    }
    return seen;
}

// The headless panel's log line of script line n: the bytes sent and, when they changed, the lamps.
bool ReadLogLine(const std::string& log, int n, Outcome& o) {
    const size_t at = log.find("line " + std::to_string(n) + ": ");
    if (at == std::string::npos) return false;
    const std::string line = log.substr(at, log.find('\n', at) - at);
    const size_t sent = line.find(": sent \"");
    if (sent != std::string::npos) {
        const size_t begin = sent + 8;
        o.bytes = line.substr(begin, line.find('"', begin) - begin);
    } else if (line.find(": sent nothing") != std::string::npos) {
        o.bytes.clear();
    } else {
        return false;
    }
    const size_t lamps = line.find("; FAST ");
    if (lamps != std::string::npos) {
        o.fast = line.compare(lamps + 7, 3, "lit") == 0;
        o.slow = line.find("SLOW lit", lamps) != std::string::npos;
    }
    return true;
}

TEST(HeadlessLatches, EveryStepSendsTheRealPanelsBytesAndLeavesItsLamps) {
    const std::vector<Outcome> real = RealPanel();
    ASSERT_EQ(real.size(), std::size(kLatchSteps)) << "the real panel did not connect";
    std::string script, realWire;
    for (size_t i = 0; i < real.size(); ++i) {
        const LatchStep& s = kLatchSteps[i];
        script += std::string(ScriptLine(s.input)) + "\n";
        realWire += real[i].bytes;
        EXPECT_EQ(Shown(real[i]), Shown({s.bytes, s.fast, s.slow})) << "the real panel, step " << i + 1;
    }
    PipePeer peer(2);
    TempScript file(script);
    ToolProcess headless("headless", "-l --script " + Quote(file.Path()));
    ASSERT_TRUE(peer.WaitConnected(kWait)) << headless.Output();
    const std::string wire = peer.Receive(3 + realWire.size(), kWait) + peer.ReceiveFor(300);
    ASSERT_EQ(headless.WaitExit(kWait), 0) << headless.Output();
    EXPECT_EQ(wire, "PPK" + realWire) << "what the control received";
    const std::string log = headless.Output();
    Outcome o;
    for (size_t i = 0; i < real.size(); ++i) {
        ASSERT_TRUE(ReadLogLine(log, static_cast<int>(i + 1), o)) << "no log line " << i + 1 << "\n" << log;
        EXPECT_EQ(Shown(o), Shown(real[i])) << "step " << i + 1 << " (" << ScriptLine(kLatchSteps[i].input)
                                            << "): the headless panel, then the real one";
    }
}
}  // namespace

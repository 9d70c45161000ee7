// The tools end to end under Wine: the headless panel driving the simulator's controller; the
// tap between quorvex.exe and the simulator with its capture checked byte for byte, replayed
// into a second panel, and the capture file it keeps; and the key-to-peer latency with and
// without the tap.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "display/display_font_win.h"
#include "display/display_geometry.h"
#include "tests/app/panel_process_win.h"
#include "tests/keypad/panel_input_win.h"
#include "tests/tools/sim_client_win.h"
#include "tools/common/capture_file.h"
#include "tools/common/escapes.h"

namespace {
constexpr DWORD kWait = 15000;

// The controller's menus, one parameter at each ADJUST speed (keys and computer keys), Branch To,
// a line click and the shut-down.
constexpr char kTour[] = R"(# menus, ADJUST at each speed, Branch To and the shut-down
expect MAIN MENU 10000
key DOWN
expect > 2  Parameters
key ENTER
expect-line 2 PARAMETERS
expect-line 5  > Force setpoint       200.0  kN
key ADJUST UP
expect Force setpoint +1.0 kN (normal)
key FAST
key ADJUST UP
expect Force setpoint +10.0 kN (fast)
key SLOW
key ADJUST DOWN
expect-line 5  > Force setpoint       210.9  kN
key SLOW
keyboard SHIFT
keyboard P
expect 220.9
branch status
expect-line 2 MACHINE STATUS
key EXIT
expect MAIN MENU
click 9
expect Stop the press and shut down the
key ENTER
expect CONTROLLER STOPPED
expect-exit 5000
)";

std::string Quote(const std::string& path) { return "\"" + path + "\""; }

TEST(Headless, DrivesTheControllerThroughMenusAdjustBranchToAndShutDown) {
    ToolProcess sim("sim", "--device 5 --timeout 30000");
    ASSERT_TRUE(sim.WaitOutput("listening", kWait)) << sim.Output();
    TempScript script(kTour);
    ToolProcess panel("headless", "-l --script " + Quote(script.Path()) + " --timeout 20000");
    EXPECT_EQ(panel.WaitExit(kWait), 0) << panel.Output() << sim.Output();
    EXPECT_NE(panel.Output().find("connected: LOCAL - Quorvex; Connected to device 5"), std::string::npos);
    EXPECT_NE(panel.Output().find("script passed: 27 steps"), std::string::npos) << panel.Output();
    EXPECT_EQ(sim.WaitExit(kWait), 0) << sim.Output();
    const std::string log = sim.Output();
    for (const char* command : {"identification answer \"VFD\": ok", "Adjust up normal (A)", "Adjust up fast (Q)",
                                "Adjust down slow (X)", "Branch \"STATUS\"", "SelectLine 9", "controller shut down"})
        EXPECT_NE(log.find(command), std::string::npos) << command << "\n" << log;
}

TEST(Headless, FailuresNameTheLineAndShowTheScreenBadSetupsExitTwo) {
    {
        ToolProcess sim("sim", "--device 5 --timeout 20000");
        ASSERT_TRUE(sim.WaitOutput("listening", kWait)) << sim.Output();
        TempScript script("expect MAIN MENU 10000\nkey DOWN\nexpect NO SUCH TEXT 300\nkey UP\n");
        ToolProcess panel("headless", "-l --script " + Quote(script.Path()));
        EXPECT_EQ(panel.WaitExit(kWait), 1) << panel.Output();
        const std::string out = panel.Output();
        EXPECT_NE(out.find("FAILED " + script.Path() +
                           " line 3: expect \"NO SUCH TEXT\" failed: not on the screen after 300 ms"),
                  std::string::npos)
            << out;
        EXPECT_NE(out.find("HP-250 PRESS LINE 3", out.find("screen:")), std::string::npos) << out;
        EXPECT_EQ(out.find("line 4:"), std::string::npos) << out;
    }
    struct Case {
        const char* arguments;
        std::string script;
        std::string message;
        bool named = false;  // the arguments name the file instead
    };
    const Case cases[] = {
        {"-l --script", "key UP\nkey UPP\n", "line 2: no key has this legend"},
        {"-l --script", "", "the script has no steps"},
        // A byte-order mark is skipped, every error is named, and bytes come out escaped.
        {"-l --script", "\xEF\xBB\xBFkey UP\nkey \x01\x02\nsned\n", "line 2: no key has this legend (LINE UP"},
        {"-l --script", "\xEF\xBB\xBFkey UP\nkey \x01\x02\nsned\n", "EXIT): \\x01\\x02"},
        {"-l --script", "\xEF\xBB\xBFkey UP\nkey \x01\x02\nsned\n", "line 3: unknown command"},
        // A Windows device name would open the device: refused before anything reads it.
        {"-l --script aux.txt --timeout 2000", "", "aux.txt: not a regular file", true},
        {"-l --script", "expect " + std::string(801, 'A') + "\n", "the text is longer than the screen can show"},
        // A Branch To text that would split into several commands, refused before connecting.
        {"-l --script", "key UP\nbranch A\\nPPK\n", "line 2: Branch To takes no control characters"},
        {"--script", "key UP\n", "the first argument must be -l or -r NAME"},
        {"-r 123456789012345678901234567890123 --script", "key UP\n", "the first argument must be -l or -r NAME"},
        // No control offers a pipe now: the panel's own result.
        {"-l --script", "key UP\n", "connect: Unable to find an available pipe device."},
    };
    for (const Case& c : cases) {
        TempScript script(c.script);
        ToolProcess panel("headless", std::string(c.arguments) + (c.named ? "" : " " + Quote(script.Path())));
        EXPECT_EQ(panel.WaitExit(kWait), 2) << c.arguments << "\n" << panel.Output();
        EXPECT_NE(panel.Output().find(c.message), std::string::npos) << panel.Output();
    }
}

// A block of the README: the indented lines that follow the line `first` (itself included when
// `withFirst`), up to the first line that is not indented, without their indent.
std::string ReadmeBlock(const std::string& first, bool withFirst) {
    std::ifstream file(QUORVEX_SOURCE_DIR "/README.md", std::ios::binary);
    std::string line;
    std::string block;
    bool inside = false;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!inside) {
            inside = line == "    " + first;
            if (inside && withFirst) block += line.substr(4) + "\n";
            continue;
        }
        if (line.compare(0, 4, "    ") != 0) break;
        block += line.substr(4) + "\n";
    }
    return block;
}

// The README's headless example as written there, against the simulator's controller.
TEST(ReadmeExample, TheHeadlessExamplePassesAgainstTheSimulator) {
    const std::string command = ReadmeBlock("quorvex-headless.exe -l --script params.txt", true);
    const std::string text = ReadmeBlock("# params.txt", false);
    ASSERT_EQ(command, "quorvex-headless.exe -l --script params.txt\n") << "the README's example moved";
    ASSERT_NE(text.find("expect-exit"), std::string::npos) << text;
    TempScript script(text);
    ToolProcess sim("sim", "--device 5 --timeout 30000");
    ASSERT_TRUE(sim.WaitOutput("listening", kWait)) << sim.Output();
    ToolProcess panel("headless", "-l --script " + Quote(script.Path()));
    EXPECT_EQ(panel.WaitExit(kWait), 0) << text << panel.Output() << sim.Output();
    EXPECT_EQ(sim.WaitExit(kWait), 0) << sim.Output();
}

// The session the tap sits in: the simulator's strict script; each key below answers one expect.
constexpr char kSession[] = R"(expect PPK 15000
send \x01\@0,0TAP SESSION\@2,0> 1 STATUS\@3,2 2 PARAMS\x1A
expect VFD 5000
expect J 10000
send \@2,0  1 STATUS\@3,0> 2 PARAMS
expect p4\n 10000
send \@5,0SELECTED 4\x07
expect B 10000
expect Q 10000
send \@19,0END OF SESSION
expect K 10000
close
)";

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The bytes of the log's lines "line N: send "X": sent" or "line N: expect "X": held".
std::string LoggedBytes(const std::string& log, const std::string& step, const std::string& outcome) {
    std::string bytes;
    const std::string head = ": " + step + " \"";
    for (size_t at = log.find(head); at != std::string::npos; at = log.find(head, at + 1)) {
        const size_t begin = at + head.size();
        const size_t end = log.find("\": " + outcome, begin);
        const size_t eol = log.find('\n', begin);
        if (end == std::string::npos || end > eol) continue;
        std::string decoded;
        EXPECT_EQ(DecodeEscapes(log.substr(begin, end - begin), decoded), 0u) << log.substr(begin, end - begin);
        bytes += decoded;
    }
    return bytes;
}

// A capture with nothing for the panel would keep a panel waiting for ever: refused at once.
TEST(Replay, ACaptureWithNothingToPlayIsRefused) {
    capture::Record command;
    command.timeUs = 1000000;
    command.direction = capture::Direction::ToControl;
    command.bytes = "P";
    const std::string header = capture::FileHeader("test", "no blocks");
    for (const std::string& content : {header, header + capture::PacketBlock(command)}) {
        const std::string path = "replay_nothing.pcapng";
        WriteAll(path, content);
        char full[MAX_PATH];
        GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
        ToolProcess replay("sim", "--device 6 --timeout 20000 --replay " + Quote(full));
        EXPECT_EQ(replay.WaitExit(kWait), 2) << replay.Output();
        EXPECT_NE(replay.Output().find("the capture holds nothing for the panel"), std::string::npos)
            << replay.Output();
        DeleteFileA(path.c_str());
    }
}

// A capture may be the only record of what an operator saw: an existing file is kept unless
// --force is given, and then replaced only once a panel has come. A control waits on device 7
// in both rows, so only the file decides.
TEST(TapCapture, AnExistingFileIsKeptUnlessForced) {
    const std::string path = "tap_existing.pcapng";
    const std::string earlier = "an earlier session";
    char full[MAX_PATH];
    GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    struct Row {
        const char* option;
        bool kept;
    };
    for (const Row& r : {Row{"", true}, Row{" --force", false}}) {
        WriteAll(path, earlier);
        PipePeer control(7);
        ASSERT_TRUE(control.Ok());
        ToolProcess tap("tap", "--listen 6 --control 7 --capture " + Quote(full) + r.option);
        if (r.kept) {
            EXPECT_EQ(tap.WaitExit(kWait), 2) << tap.Output();
            const std::string refusal = ": the file exists and was left as it is (--force overwrites it)";
            EXPECT_NE(tap.Output().find(full + refusal), std::string::npos) << tap.Output();
            EXPECT_EQ(ReadAll(path), earlier);
        } else {
            ASSERT_TRUE(tap.WaitOutput("offering device 6", kWait)) << tap.Output();
            EXPECT_EQ(ReadAll(path), earlier) << "replaced before a panel came";
            PanelClient panel;
            ASSERT_TRUE(panel.Open(6, kWait));
            ASSERT_TRUE(tap.WaitOutput("panel connected", kWait)) << tap.Output();
            for (ULONGLONG end = GetTickCount64() + kWait; ReadAll(path).empty() && GetTickCount64() < end;) Sleep(10);
            const capture::ReadResult read = capture::Read(ReadAll(path));
            EXPECT_EQ(read.id, 0u) << "the file was not overwritten with a new capture";
            EXPECT_TRUE(read.records.empty());
        }
    }
    DeleteFileA(path.c_str());
}

std::vector<uint32_t> DisplayPixels(HWND frame) {
    const int bottom = display_geometry::Top + screen::Lines * display_geometry::CellHeight;
    const POINT a = panel_input::OnScreen(frame, display_geometry::Left, display_geometry::Top);
    const POINT b = panel_input::OnScreen(frame, display_geometry::Right, bottom);
    return panel_input::CaptureScreen({a.x, a.y, b.x, b.y});
}

void PostKey(HWND frame, WPARAM key) { PostMessageA(frame, WM_KEYDOWN, key, 0); }

// A simulator that ends by its time limit sends the exit notice first: the panel closes with it
// instead of at its next command.
TEST(SimTimeLimit, ThePanelClosesWhenTheSimulatorsTimeRunsOut) {
    struct Row {
        const char* name;
        const char* script;  // null: the controller
    };
    const Row rows[] = {{"controller", nullptr}, {"script", "expect PPK\nexpect NEVER SENT 60000\n"}};
    for (const Row& r : rows) {
        std::unique_ptr<TempScript> script(r.script ? new TempScript(r.script) : nullptr);
        ToolProcess sim("sim", "--device 2 --timeout 3000" + (script ? " --script " + Quote(script->Path()) : std::string()));
        ASSERT_TRUE(sim.WaitOutput(r.script ? "steps on" : "listening", kWait)) << r.name << sim.Output();
        PanelProcess panel("-l");
        ASSERT_NE(panel.WaitMainWindow("LOCAL - Quorvex", kWait), nullptr) << r.name;
        EXPECT_NE(sim.WaitExit(kWait), -1) << r.name;
        EXPECT_EQ(panel.WaitExit(2000), 0) << r.name << ": the panel stayed after the simulator ended\n" << sim.Output();
    }
}

TEST(TapSession, ThePanelWorksThroughTheTapTheCaptureHoldsEveryByteAndReplaysToTheSameScreen) {
    const std::string capturePath = "tap_session.pcapng";
    DeleteFileA(capturePath.c_str());
    char full[MAX_PATH];
    GetFullPathNameA(capturePath.c_str(), MAX_PATH, full, nullptr);
    std::vector<uint32_t> seen;
    {
        TempScript script(kSession);
        ToolProcess sim("sim", "--device 3 --timeout 60000 --script " + Quote(script.Path()));
        ToolProcess tap("tap", "--listen 2 --control 3 --capture " + Quote(full));
        ASSERT_TRUE(tap.WaitOutput("offering device 2", kWait)) << tap.Output() << sim.Output();
        PanelProcess panel("-l");
        HWND frame = panel.WaitMainWindow("LOCAL - Quorvex", kWait);
        ASSERT_NE(frame, nullptr) << tap.Output();
        EXPECT_EQ(panel.StatusPane(frame, 2), "Connected to device 2");
        struct Step {
            const char* held;  // the expectation the input answers
            WPARAM key;        // 0: a click on display line 4
        };
        const Step steps[] = {{"expect \"VFD\": held", VK_DOWN}, {"expect \"J\": held", 0},
                              {"expect \"p4\\n\": held", 'C'}, {"expect \"B\": held", VK_SHIFT},
                              {"", VK_INSERT},                   {"expect \"Q\": held", VK_UP}};
        for (const Step& s : steps) {
            if (*s.held) {
                ASSERT_TRUE(sim.WaitOutput(s.held, kWait)) << sim.Output();
            }
            if (s.key) {
                PostKey(frame, s.key);
            } else {
                const int y = display_geometry::Top + 3 * display_geometry::CellHeight + 7;
                PostMessageA(frame, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, y));
                PostMessageA(frame, WM_LBUTTONUP, 0, MAKELPARAM(40, y));
            }
        }
        ASSERT_EQ(sim.WaitExit(kWait), 0) << sim.Output();
        ASSERT_EQ(tap.WaitExit(kWait), 0) << tap.Output();
        EXPECT_NE(tap.Output().find("session ended: the control application closed its pipes"), std::string::npos)
            << tap.Output();
        Sleep(300);  // the last repaint
        seen = DisplayPixels(frame);

        const capture::ReadResult read = capture::Read(ReadAll(capturePath));
        ASSERT_EQ(read.id, 0u);
        EXPECT_FALSE(read.cut);
        std::string toPanel, toControl;
        for (const capture::Record& r : read.records) {
            (r.direction == capture::Direction::ToPanel ? toPanel : toControl) += r.bytes;
        }
        const std::string log = sim.Output();
        const std::string sent = LoggedBytes(log, "send", "sent");
        const std::string received = LoggedBytes(log, "expect", "held");
        EXPECT_EQ(toPanel, sent) << log;
        EXPECT_EQ(toControl, received) << log;
        EXPECT_EQ(received, "PPKVFDJp4\nBQK");
        // For the check with a reader of the format from the Debian archive.
        WriteAll("tap_session.to_panel", sent);
        WriteAll("tap_session.to_control", received);
    }
    // The control's side played again into a second panel: the same screen.
    ToolProcess replay("sim", "--device 2 --timeout 30000 --speed 4 --replay " + Quote(full));
    ASSERT_TRUE(replay.WaitOutput("blocks", kWait)) << replay.Output();
    PanelProcess second("-l");
    HWND frame = second.WaitMainWindow("LOCAL - Quorvex", kWait);
    ASSERT_NE(frame, nullptr) << replay.Output();
    ASSERT_TRUE(replay.WaitOutput("replay done", kWait)) << replay.Output();
    Sleep(300);
    const std::vector<uint32_t> again = DisplayPixels(frame);
    ASSERT_GT(std::count(seen.begin(), seen.end(), seen.front()), 0);
    ASSERT_LT(static_cast<size_t>(std::count(seen.begin(), seen.end(), seen.front())), seen.size())
        << "the recorded screen shows nothing";
    EXPECT_TRUE(seen == again) << "the replayed screen differs from the recorded one";
    EXPECT_NE(replay.Output().find("command (not answered): CursorKey up (K)"), std::string::npos) << replay.Output();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Microseconds from posting a key to the panel until its byte arrives at the control's end.
std::vector<double> KeyToPeer(PipePeer& peer, HWND frame, int keys) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> us;
    for (int i = 0; i < keys; ++i) {
        QueryPerformanceCounter(&start);
        PostKey(frame, VK_UP);
        if (peer.Receive(1, 2000) != "K") break;
        QueryPerformanceCounter(&end);
        us.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart));
        Sleep(5);
    }
    return us;
}

// Also: a tap that loses the panel ends the control's side too and leaves a whole capture.
TEST(TapLatency, KeyToPeerWithAndWithoutTheTapInTheSameRun) {
    constexpr int kKeys = 40;
    std::vector<double> direct, tapped;
    {
        PipePeer peer(4);
        PanelProcess panel("-l");
        HWND frame = WaitConnectedLocally(peer, panel, kWait);
        ASSERT_NE(frame, nullptr);
        direct = KeyToPeer(peer, frame, kKeys);
    }
    char capturePath[MAX_PATH];
    GetFullPathNameA("tap_latency.pcapng", MAX_PATH, capturePath, nullptr);
    DeleteFileA(capturePath);  // the tap keeps an earlier run's capture
    {
        PipePeer peer(5);
        ToolProcess tap("tap", "--listen 4 --control 5 --capture " + Quote(capturePath));
        ASSERT_TRUE(tap.WaitOutput("offering device 4", kWait)) << tap.Output();
        {
            PanelProcess panel("-l");
            HWND frame = WaitConnectedLocally(peer, panel, kWait);
            ASSERT_NE(frame, nullptr) << tap.Output();
            tapped = KeyToPeer(peer, frame, kKeys);
        }  // the panel is killed: the tap ends both sides and its capture
        EXPECT_EQ(tap.WaitExit(kWait), 0) << tap.Output();
        EXPECT_NE(tap.Output().find("session ended: the panel closed its pipes"), std::string::npos) << tap.Output();
    }
    const capture::ReadResult read = capture::Read(ReadAll(capturePath));
    EXPECT_EQ(read.id, 0u);
    EXPECT_FALSE(read.cut);
    std::string toControl;
    for (const capture::Record& r : read.records) {
        if (r.direction == capture::Direction::ToControl) toControl += r.bytes;
    }
    EXPECT_EQ(toControl, "PPK" + std::string(tapped.size(), 'K'));
    ASSERT_EQ(direct.size(), static_cast<size_t>(kKeys));
    ASSERT_EQ(tapped.size(), static_cast<size_t>(kKeys));
    const double d = Median(direct), t = Median(tapped);
    std::printf("key-to-peer median over %d keys: direct %.0f us, through the tap %.0f us (max %.0f / %.0f us)\n",
                kKeys, d, t, *std::max_element(direct.begin(), direct.end()),
                *std::max_element(tapped.begin(), tapped.end()));
    RecordProperty("direct_median_us", static_cast<int>(d));
    RecordProperty("tap_median_us", static_cast<int>(t));
    EXPECT_LT(t - d, 2000.0) << "the tap adds more than 2 ms";
}
}  // namespace

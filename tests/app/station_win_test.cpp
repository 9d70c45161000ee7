// quorvex.exe -l -w end to end under Wine with real pipes: it waits with no control and no box,
// shows its own waiting text, refuses input while waiting, takes a control that appears or comes
// back (on another device too) with the greeting, and stays level over 100 exits and returns.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/e2e/process_probe_win.h"
#include "display/waiting_screen.h"
#include "protocol/key_ids.h"
#include "tests/app/display_area_win.h"
#include "tests/app/panel_process_win.h"
#include "tests/app/process_window_win.h"

namespace {
constexpr DWORD kWait = 10000;
const char kWaitingPane[] = "Waiting for the control";
const LPARAM kLine1 = MAKELPARAM(20, 13 + 7);
const LPARAM kLine3 = MAKELPARAM(20, 13 + 3 * 15 + 7);
constexpr WPARAM kFileExit = 57665;
constexpr WPARAM kAbout = 57664;

std::string Text(unsigned id) {
    char text[256] = "";
    LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    return text;
}

// The waiting screen as the panel composes it from its texts (this test's copy of them).
std::vector<std::string> WaitingLines() {
    char lines[screen::Lines][screen::Columns + 1];
    waiting_screen::Compose(Text(62240).c_str(), Text(62241).c_str(), lines);
    return std::vector<std::string>(std::begin(lines), std::end(lines));
}

// quorvex.exe -l -w, its window and its Linux process (for CPU readings from outside).
struct StationPanel {
    explicit StationPanel(DWORD limitMs = watchdog::kProcessMs) : panel("-l -w " + Token(), limitMs) {
        frame = panel.WaitMainWindow("LOCAL - Quorvex", kWait);
        linuxPid = process_probe::FindLinuxPid(Token());
    }
    static std::string Token() { return HostUniqueToken("station"); }
    // Waits until pane shows text; true when it did within the time.
    bool WaitPane(int pane, const std::string& text, DWORD timeoutMs) {
        const DWORD start = GetTickCount();
        for (;;) {
            if (panel.StatusPane(frame, pane) == text) return true;
            if (GetTickCount() - start >= timeoutMs) return false;
            Sleep(20);
        }
    }
    int64_t CpuOver(DWORD ms) {
        const int64_t before = process_probe::CpuMs(linuxPid);
        Sleep(ms);
        return process_probe::CpuMs(linuxPid) - before;
    }
    HWND AnyDialog() const { return FindProcessWindow(panel.Id(), "#32770", nullptr); }
    uint64_t WorkingSet() const {
        PROCESS_MEMORY_COUNTERS c = {};
        c.cb = sizeof c;
        return GetProcessMemoryInfo(panel.Process(), &c, sizeof c) ? c.WorkingSetSize : 0;
    }
    void Post(UINT message, WPARAM w, LPARAM l) { PostMessageA(frame, message, w, l); }

    PanelProcess panel;
    HWND frame = nullptr;
    int linuxPid = 0;
};

// The control's first words on a connection: the greeting, whole, and nothing else.
bool Greeted(PipePeer& peer, DWORD timeoutMs) {
    return peer.WaitConnected(timeoutMs) && peer.Receive(3, timeoutMs) == "PPK";
}

TEST(Station, WithNoControlItWaitsWithoutABoxAndTakesTheControlThatAppears) {
    StationPanel s;
    ASSERT_NE(s.frame, nullptr) << "no station window";
    const DWORD shown = GetTickCount();
    EXPECT_TRUE(s.WaitPane(2, kWaitingPane, 1000)) << "pane 2: " << s.panel.StatusPane(s.frame, 2);
    EXPECT_EQ(display_area::WaitShown(s.frame, WaitingLines(), 1000 - std::min<DWORD>(1000, GetTickCount() - shown)), 0u)
        << "the display does not show the waiting text as the panel draws it";
    ASSERT_NE(s.linuxPid, 0);
    const int64_t cpu = s.CpuOver(3000);
    std::printf("waiting with no control: %lld ms of CPU in 3000 ms\n", static_cast<long long>(cpu));
    EXPECT_LE(cpu, 30) << "more than 1 % of a core while waiting";
    EXPECT_EQ(s.AnyDialog(), nullptr) << "a box or dialog while waiting";

    PipePeer peer(2);
    const DWORD appeared = GetTickCount();
    ASSERT_TRUE(Greeted(peer, 3000));
    std::printf("control appeared: greeted after %lu ms\n", GetTickCount() - appeared);
    EXPECT_LE(GetTickCount() - appeared, 3000u);
    EXPECT_TRUE(s.WaitPane(2, "Connected to device 2", 1000));
    ASSERT_TRUE(peer.Send(std::string("\x01\x80\x80", 3) + "HELLO STATION"));
    EXPECT_EQ(display_area::WaitShown(s.frame, {"HELLO STATION"}, 2000), 0u) << "the control's text is not shown";
    s.Post(WM_COMMAND, kFileExit, 0);
    EXPECT_EQ(s.panel.WaitExit(kWait), 0);
}

TEST(Station, AControlThatGoesIsWaitedForWhateverIsOpenAndTakenBackOnAnotherDevice) {
    enum class End { ExitNotice, PipesClosed };
    struct Row {
        const char* name;
        End end;
        const char* dialog;  // opened first and left open, or null
        std::function<void(StationPanel&)> open;
    };
    const Row rows[] = {
        {"exit notice in a stream", End::ExitNotice, nullptr, [](StationPanel&) {}},
        {"pipes closed in a stream", End::PipesClosed, nullptr, [](StationPanel&) {}},
        {"exit notice, Branch To open", End::ExitNotice, "Branch To",
         [](StationPanel& s) { s.Post(WM_LBUTTONDBLCLK, MK_LBUTTON, kLine3); }},
        {"pipes closed, About open", End::PipesClosed, "About Quorvex",
         [](StationPanel& s) { s.Post(WM_COMMAND, kAbout, 0); }},
    };
    for (const Row& r : rows) {
        auto peer = std::make_unique<PipePeer>(2);
        StationPanel s;
        ASSERT_TRUE(Greeted(*peer, kWait)) << r.name;
        ASSERT_NE(s.frame, nullptr) << r.name;
        ASSERT_TRUE(peer->Send(std::string("\x01\x85\x80", 3) + "OLD CONTROL TEXT")) << r.name;
        ASSERT_EQ(display_area::WaitShown(s.frame, {"", "", "", "", "", "OLD CONTROL TEXT"}, 2000), 0u) << r.name;
        r.open(s);
        if (r.dialog) {
            ASSERT_NE(s.panel.WaitDialog(r.dialog, kWait), nullptr) << r.name;
        }
        // A screen in flight: text and a cursor address cut in two at the end.
        const std::string stream = std::string(2048 + 700, 'x') + "\x85";
        ASSERT_TRUE(peer->Send(r.end == End::ExitNotice ? stream + "\x16" : stream)) << r.name;
        const DWORD gone = GetTickCount();
        peer.reset();
        EXPECT_TRUE(s.WaitPane(2, kWaitingPane, 1000)) << r.name << ": pane 2 " << s.panel.StatusPane(s.frame, 2);
        EXPECT_EQ(display_area::WaitShown(s.frame, WaitingLines(), 1000 - std::min<DWORD>(1000, GetTickCount() - gone)),
                  0u)
            << r.name << ": the old text stayed";
        EXPECT_EQ(s.AnyDialog(), nullptr) << r.name << ": a dialog or box stayed open";

        // Input while waiting: keys, the FAST latch, a line click and Branch To go nowhere.
        s.Post(WM_KEYDOWN, VK_UP, 1);
        s.Post(WM_KEYDOWN, '7', 1);
        s.Post(WM_COMMAND, MAKEWPARAM(KeyId::Fast, BN_CLICKED), 0);
        s.Post(WM_LBUTTONDOWN, MK_LBUTTON, kLine1);
        s.Post(WM_LBUTTONUP, 0, kLine1);
        s.Post(WM_LBUTTONDBLCLK, MK_LBUTTON, kLine3);
        EXPECT_EQ(s.panel.WaitDialog("Branch To", 300), nullptr) << r.name << ": Branch To opened while waiting";

        PipePeer back(3);
        EXPECT_TRUE(Greeted(back, 3000)) << r.name << ": the control on device 3 was not greeted first";
        EXPECT_EQ(back.ReceiveFor(300), "") << r.name << ": input made while waiting reached the control";
        EXPECT_TRUE(s.WaitPane(2, "Connected to device 3", 1000)) << r.name;
        EXPECT_EQ(FindProcessWindow(s.panel.Id(), "#32770", "Fatal or Unrecoverable Error"), nullptr) << r.name;
        s.Post(WM_COMMAND, kFileExit, 0);
        EXPECT_EQ(s.panel.WaitExit(kWait), 0) << r.name;
    }
}

// Each cycle the control offers its pipes on the other device and then leaves the one in use,
// by its exit notice or by closing both pipes; the panel must greet it there once.
TEST(Station, AHundredExitsAndReturnsLeaveTheStationLevel) {
    constexpr int kCycles = 100;
    constexpr int kLevelAt = 10;  // after the first cycles have made what the panel keeps
    struct Level {
        int64_t handles;
        uint64_t workingSet;
    };
    StationPanel s(120000);
    auto peer = std::make_unique<PipePeer>(2);
    ASSERT_TRUE(Greeted(*peer, kWait));
    ASSERT_NE(s.frame, nullptr);
    int device = 2;
    Level first = {-1, 0};
    std::vector<double> greetMs;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    for (int cycle = 1; cycle <= kCycles; ++cycle) {
        const int next = device == 2 ? 3 : 2;
        auto back = std::make_unique<PipePeer>(next);
        ASSERT_TRUE(back->Ok()) << "cycle " << cycle;
        LARGE_INTEGER left;
        QueryPerformanceCounter(&left);
        if (cycle % 2) {
            ASSERT_TRUE(peer->Send("\x16")) << "cycle " << cycle;
        }
        peer.reset();
        ASSERT_TRUE(Greeted(*back, kWait)) << "cycle " << cycle << ": not greeted on device " << next;
        LARGE_INTEGER greeted;
        QueryPerformanceCounter(&greeted);
        greetMs.push_back(1000.0 * static_cast<double>(greeted.QuadPart - left.QuadPart) /
                          static_cast<double>(frequency.QuadPart));
        // Once: nothing follows the greeting.
        ASSERT_EQ(back->ReceiveFor(20), "") << "cycle " << cycle;
        peer = std::move(back);
        device = next;
        if (cycle == kLevelAt) first = {process_probe::HandleCount(s.panel.Id()), s.WorkingSet()};
    }
    const Level last = {process_probe::HandleCount(s.panel.Id()), s.WorkingSet()};
    std::vector<double> sorted = greetMs;
    std::sort(sorted.begin(), sorted.end());
    std::printf("%d cycles: control back to greeting median %.1f ms, worst %.1f ms; handles %lld -> %lld, working set "
                "%llu -> %llu\n",
                kCycles, sorted[sorted.size() / 2], sorted.back(), static_cast<long long>(first.handles),
                static_cast<long long>(last.handles), static_cast<unsigned long long>(first.workingSet),
                static_cast<unsigned long long>(last.workingSet));
    ASSERT_GT(first.handles, 0);
    // A handle or a session's queue left behind by every cycle would show as 90 of them.
    EXPECT_LE(std::llabs(last.handles - first.handles), 5) << "handles, cycle " << kLevelAt << " vs last";
    EXPECT_LE(std::abs(static_cast<double>(last.workingSet) - static_cast<double>(first.workingSet)), 4.0 * (1 << 20))
        << "working set, cycle " << kLevelAt << " vs last";
    s.Post(WM_COMMAND, kFileExit, 0);
    EXPECT_EQ(s.panel.WaitExit(kWait), 0);
}
}  // namespace

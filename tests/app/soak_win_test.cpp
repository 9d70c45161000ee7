// quorvex.exe soaked under random control traffic and random key and mouse input (60 s here,
// QUORVEX_SOAK_SECONDS from scripts/soak): its handles and working set stay level, and at the end
// the display area shows exactly what quorvex-dump --screen makes of the same bytes.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench/e2e/process_probe_win.h"
#include "protocol/inbound_table.h"
#include "protocol/key_table.h"
#include "tests/app/display_area_win.h"
#include "tests/app/own_folder_start_win.h"
#include "tests/app/panel_process_win.h"
#include "tests/keypad/panel_input_win.h"

namespace {
constexpr DWORD kWait = 10000;
constexpr uint8_t kExit = 0x16;
constexpr uint8_t kIdentify = 0x1A;

DWORD SoakSeconds() {
    const char* text = std::getenv("QUORVEX_SOAK_SECONDS");
    const int seconds = text ? std::atoi(text) : 0;
    return seconds > 0 ? static_cast<DWORD>(seconds) : 60;
}

std::string FolderOf(const std::string& appDir, const char* relative) {
    char full[MAX_PATH];
    const std::string path = appDir + relative;
    return std::string(full, GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr));
}

// The panel for the whole soak (a PanelProcess's watchdog would end it after a minute).
class SoakPanel {
public:
    explicit SoakPanel(DWORD limitMs) : watchdog_("quorvex.exe under the soak", limitMs) {
        process_ = StartInOwnFolder(PanelExePath(), "quorvex.exe -l " + Token(), &id_);
        if (process_) {
            TieToTestProcess(process_);
            watchdog_.Guard(process_);
        }
    }
    ~SoakPanel() {
        if (!process_) return;
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
        CloseHandle(process_);
    }
    static std::string Token() { return "soak-" + std::to_string(GetCurrentProcessId()); }
    HANDLE Process() const { return process_; }
    DWORD Id() const { return id_; }
    uint64_t WorkingSet() const {
        PROCESS_MEMORY_COUNTERS c = {};
        c.cb = sizeof c;
        return GetProcessMemoryInfo(process_, &c, sizeof c) ? c.WorkingSetSize : 0;
    }

private:
    Watchdog watchdog_;
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Random control traffic: screens and fields through cursor addresses, every control code listed
// or not (clears, line ends, signals); never the exit or the identification request.
std::string RandomTraffic(std::mt19937& rng) {
    static const std::string kCodes = [] {
        std::string codes;
        for (int b = 0; b < inbound::TextFirst; ++b)
            if (b != inbound::ExitNotice && b != inbound::Identify) codes += static_cast<char>(b);
        return codes;
    }();
    std::string s;
    const int pieces = 1 + static_cast<int>(rng() % 40);
    for (int p = 0; p < pieces; ++p) {
        switch (rng() % 6) {
            case 0: s += kCodes[rng() % kCodes.size()]; break;
            case 1: s += static_cast<char>(0x80 | (rng() % 64)); break;  // a lone or split address byte
            default: {
                s += static_cast<char>(0x80 | (rng() % 22));
                s += static_cast<char>(0x80 | (rng() % 44));
                const int n = static_cast<int>(rng() % 45);
                for (int i = 0; i < n; ++i) s += static_cast<char>(0x20 + rng() % 0x60);
            }
        }
    }
    return s;
}

// Real input that cannot open a dialog: key clicks, computer keys, single clicks on lines.
void RandomInput(std::mt19937& rng, HWND frame, int& lastLine) {
    static const WORD kKeys[] = {'0', '5', '9', VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_PRIOR, VK_NEXT, VK_RETURN,
                                 VK_ESCAPE, 'A', 'C', 'F', VK_SUBTRACT, VK_DECIMAL, VK_INSERT, VK_DELETE};
    switch (rng() % 3) {
        case 0:
            panel_input::Click(panel_input::KeyCenter(frame, KeyTable::FirstId + static_cast<int32_t>(rng() % 25)));
            break;
        case 1: panel_input::Tap(kKeys[rng() % (sizeof kKeys / sizeof kKeys[0])]); break;
        default: {
            // Never the line clicked last: two clicks there could make a double click (Branch To).
            int line = static_cast<int>(rng() % 19);
            if (line >= lastLine) ++line;
            lastLine = line;
            panel_input::Click(panel_input::OnScreen(frame, 100 + static_cast<int>(rng() % 150), 13 + line * 15 + 7));
        }
    }
}

std::vector<std::string> DumpScreen(const std::string& bytes) {
    char temp[MAX_PATH], file[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    GetTempFileNameA(temp, "qsk", 0, file);
    FILE* f = std::fopen(file, "wb");
    if (!f) return {};
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    const std::string dump = FolderOf(PanelExePath(), "\\..\\tools\\dump\\") + "quorvex-dump.exe";
    std::vector<std::string> lines;
    const std::string command = "\"\"" + dump + "\" \"" + file + "\" --screen\"";
    if (FILE* out = _popen(command.c_str(), "r")) {
        char line[256];
        while (lines.size() < 20 && std::fgets(line, sizeof line, out)) {
            std::string text(line);
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
            lines.push_back(text);
        }
        _pclose(out);
    }
    DeleteFileA(file);
    return lines;
}

struct Level {
    int64_t handles;
    uint64_t workingSet;
};

TEST(Soak, RandomTrafficAndInputLeaveHandlesAndMemoryLevelAndTheScreenRight) {
    const DWORD seconds = SoakSeconds();
    PipePeer peer(2, PipePeer::Both, 65536);
    ASSERT_TRUE(peer.Ok());
    SoakPanel panel((seconds + 60) * 1000);
    ASSERT_TRUE(peer.WaitConnected(kWait));
    ASSERT_EQ(peer.Receive(3, kWait), "PPK");
    HWND frame = nullptr;
    for (int i = 0; i < 500 && !frame; ++i, Sleep(20)) {
        HWND h = FindWindowA("QuorvexFrame", "LOCAL - Quorvex");
        DWORD pid = 0;
        if (h) GetWindowThreadProcessId(h, &pid);
        if (pid == panel.Id()) frame = h;
    }
    ASSERT_NE(frame, nullptr);

    // The commands are drained all the time, so that the panel never waits on its writes.
    std::atomic<bool> stop{false};
    std::atomic<bool> stopDrain{false};
    std::mutex commandsLock;
    std::string commands;
    std::thread drain([&] {
        while (!stopDrain.load()) {
            const std::string got = peer.Receive(1 << 20, 100);
            std::lock_guard<std::mutex> guard(commandsLock);
            commands += got;
        }
    });
    std::string sent;
    std::thread traffic([&] {
        std::mt19937 rng(1234);
        while (!stop.load()) {
            const std::string chunk = RandomTraffic(rng);
            if (!peer.Send(chunk)) break;
            sent += chunk;
            if (rng() % 4 == 0) Sleep(rng() % 20);
        }
    });

    // A failed assertion below returns at once: the threads must still end first.
    struct JoinOnReturn {
        std::function<void()> join;
        ~JoinOnReturn() { join(); }
    } joinOnReturn{[&] {
        stop.store(true);
        stopDrain.store(true);
        if (traffic.joinable()) traffic.join();
        if (drain.joinable()) drain.join();
    }};

    std::mt19937 rng(99);
    const DWORD start = GetTickCount();
    const DWORD firstAt = std::min<DWORD>(60, seconds / 4) * 1000;
    Level first = {-1, 0};
    int lastLine = 0;
    SetForegroundWindow(frame);
    while (GetTickCount() - start < seconds * 1000) {
        RandomInput(rng, frame, lastLine);
        Sleep(40 + rng() % 120);
        if (first.handles < 0 && GetTickCount() - start >= firstAt)
            first = {process_probe::HandleCount(panel.Id()), panel.WorkingSet()};
        ASSERT_EQ(WaitForSingleObject(panel.Process(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the panel ended";
        for (const char* title : {"Branch To", "About Quorvex", "Fatal or Unrecoverable Error"})
            ASSERT_EQ(FindWindowA("#32770", title), nullptr) << title << " opened during the soak";
    }
    stop.store(true);
    traffic.join();
    // Everything sent has been decoded once the identification request is answered.
    ASSERT_TRUE(peer.Send(std::string(1, static_cast<char>(kIdentify))));
    // The drain goes on until the answer is in: a backlog may take the panel a while.
    const DWORD settle = GetTickCount();
    bool answered = false;
    while (!answered && GetTickCount() - settle < kWait) {
        Sleep(20);
        std::lock_guard<std::mutex> guard(commandsLock);
        answered = commands.find("VFD") != std::string::npos;
    }
    stopDrain.store(true);
    drain.join();
    ASSERT_TRUE(answered) << "no VFD within " << kWait << " ms after the soak";
    Sleep(500);  // the last repaints
    const Level last = {process_probe::HandleCount(panel.Id()), panel.WorkingSet()};

    const std::vector<uint32_t> shown = display_area::Shown(frame);
    const std::vector<std::string> screen = DumpScreen(sent);
    ASSERT_EQ(screen.size(), 20u) << "quorvex-dump --screen gave no screen";
    const std::vector<uint32_t> expected = display_area::Drawn(screen);
    ASSERT_EQ(shown.size(), expected.size());
    EXPECT_EQ(display_area::Differing(shown, expected), 0u) << "pixels of the display area differ from the replay of " << sent.size() << " bytes";

    std::printf("soak %lu s: %zu bytes in, %zu bytes of commands out; handles %lld -> %lld, working set %llu -> %llu\n",
                seconds, sent.size(), commands.size(), static_cast<long long>(first.handles),
                static_cast<long long>(last.handles), static_cast<unsigned long long>(first.workingSet),
                static_cast<unsigned long long>(last.workingSet));
    ASSERT_GT(first.handles, 0);
    EXPECT_LE(std::llabs(last.handles - first.handles) * 10, first.handles) << "handles, first vs last";
    EXPECT_LE(std::abs(static_cast<double>(last.workingSet) - static_cast<double>(first.workingSet)),
              static_cast<double>(first.workingSet) * 0.1)
        << "working set, first vs last";

    ASSERT_TRUE(peer.Send(std::string(1, static_cast<char>(kExit))));
    EXPECT_EQ(WaitForSingleObject(panel.Process(), kWait), static_cast<DWORD>(WAIT_OBJECT_0));
}
}  // namespace

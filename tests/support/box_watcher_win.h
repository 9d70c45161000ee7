// Test helper: a thread that finds this process's message boxes, reads their caption, text,
// icon and owner, and presses OK on them (at once, or when told for captions it holds); a
// watchdog ends a held box that nobody presses.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "watchdog_win.h"

struct SeenBox {
    std::string caption;
    std::string text;
    HWND owner;
    HICON icon;
    DWORD thread;
};

class BoxWatcher {
public:
    // Boxes whose caption is in `held` stay open until Press; every other box is answered at once.
    explicit BoxWatcher(std::set<std::string> held = {});
    ~BoxWatcher();  // answers whatever is still open, so a failing test does not hang
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    // Waits (pumping the calling thread's messages) until `count` boxes were seen.
    bool WaitForSeen(size_t count, DWORD timeoutMs = 5000);
    // Answers the open held box with this caption.
    bool Press(const std::string& caption);
    std::vector<SeenBox> Stop();
    std::vector<SeenBox> Seen();

private:
    void Run();
    void Scan();

    std::set<std::string> held_;
    std::mutex mutex_;
    std::vector<SeenBox> seen_;
    std::vector<std::pair<HWND, std::string>> open_;  // seen and not yet answered
    std::set<HWND> answered_;
    std::vector<std::string> toPress_;
    bool stop_ = false;
    std::unique_ptr<Watchdog> watchdog_;
    std::thread thread_;
};

// A thread that the creating thread awaits while running its own messages: a box on the new
// thread owned by a window of the creating thread needs them while it closes.
class PumpedThread {
public:
    explicit PumpedThread(std::function<void()> body);
    ~PumpedThread();
    PumpedThread(const PumpedThread&) = delete;
    PumpedThread& operator=(const PumpedThread&) = delete;
    bool JoinPumping(DWORD timeoutMs = 10000);

private:
    static DWORD WINAPI Main(void* self);
    std::function<void()> body_;
    HANDLE handle_ = nullptr;
};

// Runs the calling thread's messages until `done` or the time-out.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// The icon of the kind the message box shows for a MessageBox icon value.
HICON StockIconFor(UINT icon);

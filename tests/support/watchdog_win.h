// Test helper: bounds every wait a Windows test starts. A Watchdog guards a stretch of a test (a
// modal dialog or box, a child process, a pumping wait): when its time runs out, or when the
// driver of that stretch gives up, it ends every dialog and box of this process and the guarded
// child processes, and the test fails saying what did not end. Should the stretch still not
// end, the test process is ended with that message, so that a run never waits for ever.
// Every test binary also ends itself, with the test's name, when one test runs too long.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace watchdog {
// A dialog or box that waits for a driver; generous for a loaded machine.
constexpr DWORD kModalMs = 30000;
// A child process of a test (the panel, the simulator).
constexpr DWORD kProcessMs = 60000;
// Time left to the guarded stretch to return once its dialogs and processes were ended.
constexpr DWORD kGraceMs = 10000;
// One whole test; below ctest's own limit so that the message is the test's.
constexpr DWORD kTestMs = 90000;
}  // namespace watchdog

class Watchdog {
public:
    // `what` names the guarded stretch in the failure, e.g. "the Connect To dialog".
    explicit Watchdog(std::string what, DWORD timeoutMs = watchdog::kModalMs);
    // Stops watching; the test fails here when the watchdog had to end anything.
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // Ends this child process too when the watchdog fires.
    void Guard(HANDLE process);
    // For a driver that gives up: from now on every dialog that is open or opens is ended,
    // and the test fails (with `why`) if there was one.
    void GiveUp(const std::string& why);
    bool Fired() const { return fired_.load(); }

private:
    static DWORD WINAPI Main(void* self);
    void Run();
    // Ends what is open; true when there was something to end.
    bool EndEverything();

    std::string what_;
    DWORD timeoutMs_;
    HANDLE stop_ = nullptr;
    HANDLE giveUp_ = nullptr;
    HANDLE thread_ = nullptr;
    std::mutex mutex_;
    std::string why_;
    std::string failure_;
    std::vector<HANDLE> processes_;
    std::atomic<bool> fired_{false};
};

// A driver: waits on a second thread for a dialog of this process with this title and acts on
// it once. It guards the stretch from its making to its end with a Watchdog; should the dialog
// not show within the time, it gives up and the dialog is ended when it does show.
class DialogWatcher {
public:
    // action runs on the watcher's thread with the found dialog.
    DialogWatcher(const char* title, std::function<void(HWND)> action, DWORD timeoutMs = 10000);
    ~DialogWatcher();
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;
    bool Found() const { return found_.load(); }

private:
    Watchdog watchdog_;
    std::atomic<bool> found_{false};
    std::atomic<bool> quit_{false};
    std::thread thread_;
};

// A top-level dialog of this process with the given title, or null.
HWND FindOwnDialog(const char* title);
// Waits up to timeoutMs for such a dialog.
HWND WaitForOwnDialog(const char* title, DWORD timeoutMs);

// Puts a child process into a job that ends it whenever this test process ends, even killed.
void TieToTestProcess(HANDLE process);

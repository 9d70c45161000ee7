// The test watchdog, the job that ties child processes to the test process, and the time
// limit of every test in the binaries that link this file.
#include "watchdog_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {
constexpr DWORD kRoundMs = 100;
// A dialog that ignores a posted Cancel this long is ended directly.
constexpr DWORD kCancelIgnoredMs = 1000;

BOOL CALLBACK CollectDialogs(HWND hwnd, LPARAM lParam) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[16] = "";
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (pid == GetCurrentProcessId() && lstrcmpA(cls, "#32770") == 0)
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
}

[[noreturn]] void EndTestProcess(const std::string& message) {
    std::fprintf(stderr, "watchdog: %s; ending the test process\n", message.c_str());
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    for (;;) Sleep(INFINITE);
}

// Ends the whole test process, with its name, when one test runs longer than kTestMs.
class TestTimeLimit : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo& test) override {
        name_ = std::string(test.test_suite_name()) + "." + test.name();
        stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, &TestTimeLimit::Main, this, 0, nullptr);
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        SetEvent(stop_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        CloseHandle(stop_);
    }

private:
    static DWORD WINAPI Main(void* self) {
        auto* limit = static_cast<TestTimeLimit*>(self);
        // A long run on purpose (scripts/soak) sets its own limit.
        const char* own = std::getenv("QUORVEX_TEST_LIMIT_MS");
        const DWORD limitMs = own && std::atol(own) > 0 ? static_cast<DWORD>(std::atol(own)) : watchdog::kTestMs;
        if (WaitForSingleObject(limit->stop_, limitMs) == WAIT_TIMEOUT)
            EndTestProcess(limit->name_ + " still running after " + std::to_string(limitMs) + " ms");
        return 0;
    }
    std::string name_;
    HANDLE stop_ = nullptr;
    HANDLE thread_ = nullptr;
};

const bool gTimeLimitInstalled = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new TestTimeLimit);
    return true;
}();
}  // namespace

Watchdog::Watchdog(std::string what, DWORD timeoutMs) : what_(std::move(what)), timeoutMs_(timeoutMs) {
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    giveUp_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, &Watchdog::Main, this, 0, nullptr);
}

Watchdog::~Watchdog() {
    SetEvent(stop_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    CloseHandle(giveUp_);
    CloseHandle(stop_);
    if (!failure_.empty()) ADD_FAILURE() << "watchdog: " << failure_;
}

void Watchdog::Guard(HANDLE process) {
    std::lock_guard<std::mutex> lock(mutex_);
    processes_.push_back(process);
}

void Watchdog::GiveUp(const std::string& why) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        why_ = why;
    }
    SetEvent(giveUp_);
}

DWORD WINAPI Watchdog::Main(void* self) {
    static_cast<Watchdog*>(self)->Run();
    return 0;
}

void Watchdog::Run() {
    const DWORD start = GetTickCount();
    const HANDLE events[2] = {stop_, giveUp_};
    const DWORD woke = WaitForMultipleObjects(2, events, FALSE, timeoutMs_);
    if (woke == WAIT_OBJECT_0) return;
    std::string failure = what_ + " did not end within " + std::to_string(timeoutMs_) + " ms";
    if (woke == WAIT_OBJECT_0 + 1) {
        // The driver gave up: whatever is open or opens is ended, until the stretch ends.
        while (!EndEverything()) {
            if (WaitForSingleObject(stop_, kRoundMs) == WAIT_OBJECT_0) return;  // the test's own checks speak
            if (GetTickCount() - start > timeoutMs_) break;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        if (GetTickCount() - start <= timeoutMs_) failure = what_ + ": " + why_ + "; the dialogs still open were ended";
    }
    fired_.store(true);
    std::fprintf(stderr, "watchdog: %s\n", failure.c_str());
    std::fflush(stderr);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        failure_ = failure;
    }
    const DWORD ended = GetTickCount();
    do {
        EndEverything();
        if (GetTickCount() - ended > watchdog::kGraceMs)
            EndTestProcess(failure + ", and it still did not end " + std::to_string(watchdog::kGraceMs) + " ms later");
    } while (WaitForSingleObject(stop_, kRoundMs) == WAIT_TIMEOUT);
}

bool Watchdog::EndEverything() {
    static std::mutex cancelledLock;
    static std::map<HWND, DWORD> cancelled;  // when Cancel was posted to each dialog
    std::vector<HWND> dialogs;
    EnumWindows(&CollectDialogs, reinterpret_cast<LPARAM>(&dialogs));
    {
        std::lock_guard<std::mutex> lock(cancelledLock);
        for (HWND dialog : dialogs) {
            auto it = cancelled.find(dialog);
            if (it == cancelled.end()) {
                cancelled[dialog] = GetTickCount();
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            } else if (GetTickCount() - it->second > kCancelIgnoredMs) {
                // A box without Cancel (Yes/No) or a dialog that refuses it.
                EndDialog(dialog, IDCANCEL);
            }
        }
        for (auto it = cancelled.begin(); it != cancelled.end();) it = IsWindow(it->first) ? std::next(it) : cancelled.erase(it);
    }
    // A hidden dialog is ended too (it may be one that never showed) but counts for nothing.
    bool ended = std::any_of(dialogs.begin(), dialogs.end(), [](HWND d) { return IsWindowVisible(d) != FALSE; });
    std::lock_guard<std::mutex> lock(mutex_);
    for (HANDLE process : processes_) {
        if (WaitForSingleObject(process, 0) != WAIT_TIMEOUT) continue;
        TerminateProcess(process, 98);
        ended = true;
    }
    return ended;
}

void TieToTestProcess(HANDLE process) {
    static HANDLE job = [] {
        HANDLE created = CreateJobObjectA(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (created) SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
        return created;  // never closed: the job ends with this process
    }();
    if (job) AssignProcessToJobObject(job, process);
}

DialogWatcher::DialogWatcher(const char* title, std::function<void(HWND)> action, DWORD timeoutMs)
    : watchdog_(std::string("the \"") + title + "\" dialog") {
    std::string wanted = title;
    thread_ = std::thread([this, wanted, action, timeoutMs] {
        const DWORD start = GetTickCount();
        while (!quit_.load()) {
            if (HWND h = FindOwnDialog(wanted.c_str())) {
                found_.store(true);
                action(h);
                return;
            }
            if (GetTickCount() - start >= timeoutMs) {
                watchdog_.GiveUp("it did not show within " + std::to_string(timeoutMs) + " ms");
                return;
            }
            Sleep(10);
        }
    });
}

DialogWatcher::~DialogWatcher() {
    quit_.store(true);
    if (thread_.joinable()) thread_.join();
}

HWND FindOwnDialog(const char* title) {
    HWND h = nullptr;
    while ((h = FindWindowExA(nullptr, h, "#32770", title)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (pid == GetCurrentProcessId() && IsWindowVisible(h)) return h;
    }
    return nullptr;
}

HWND WaitForOwnDialog(const char* title, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        if (HWND h = FindOwnDialog(title)) return h;
        Sleep(10);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

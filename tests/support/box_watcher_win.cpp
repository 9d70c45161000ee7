// The message-box watcher of the service tests.
#include "box_watcher_win.h"

#include <algorithm>

namespace {
constexpr int kMessageTextId = 0xFFFF;  // the static control holding the box's text
constexpr int kMessageIconId = 0x0440;  // the static control holding its icon

BOOL CALLBACK CollectBoxes(HWND hwnd, LPARAM lParam) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[16] = "";
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (pid == GetCurrentProcessId() && std::string(cls) == "#32770" && IsWindowVisible(hwnd))
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
}

std::string TextOf(HWND hwnd) {
    char buffer[1024] = "";
    GetWindowTextA(hwnd, buffer, sizeof(buffer));
    return buffer;
}
}  // namespace

BoxWatcher::BoxWatcher(std::set<std::string> held)
    : held_(std::move(held)), watchdog_(new Watchdog("a held message box")), thread_([this] { Run(); }) {}

BoxWatcher::~BoxWatcher() { Stop(); }

void BoxWatcher::Run() {
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stop_) break;
        }
        Scan();
        Sleep(5);
    }
    // Whatever is still open is answered on the way out.
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& box : open_) PostMessageA(box.first, WM_COMMAND, IDOK, 0);
    open_.clear();
}

void BoxWatcher::Scan() {
    {
        // Forget windows that are gone, so a reused handle counts as a new box. This comes before
        // the enumeration: a box that closes between the two would otherwise be counted again.
        std::lock_guard<std::mutex> lock(mutex_);
        open_.erase(std::remove_if(open_.begin(), open_.end(), [](auto& b) { return !IsWindow(b.first); }),
                    open_.end());
        for (auto it = answered_.begin(); it != answered_.end();)
            it = IsWindow(*it) ? std::next(it) : answered_.erase(it);
    }
    std::vector<HWND> boxes;
    EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&boxes));
    std::vector<HWND> fresh;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (HWND box : boxes) {
            const bool known = answered_.count(box) ||
                               std::any_of(open_.begin(), open_.end(), [box](auto& b) { return b.first == box; });
            if (!known) fresh.push_back(box);
        }
    }
    // Reading a box sends to its thread: never while holding the lock a waiting thread may want.
    std::vector<SeenBox> read;
    for (HWND box : fresh) {
        SeenBox seen;
        seen.caption = TextOf(box);
        seen.text = TextOf(GetDlgItem(box, kMessageTextId));
        seen.owner = GetWindow(box, GW_OWNER);
        seen.icon = reinterpret_cast<HICON>(SendDlgItemMessageA(box, kMessageIconId, STM_GETICON, 0, 0));
        seen.thread = GetWindowThreadProcessId(box, nullptr);
        read.push_back(seen);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t i = 0; i < fresh.size(); ++i) {
        seen_.push_back(read[i]);
        if (held_.count(read[i].caption)) {
            open_.emplace_back(fresh[i], read[i].caption);
        } else {
            answered_.insert(fresh[i]);
            PostMessageA(fresh[i], WM_COMMAND, IDOK, 0);
        }
    }
    for (const std::string& caption : toPress_) {
        for (auto it = open_.begin(); it != open_.end(); ++it) {
            if (it->second != caption) continue;
            answered_.insert(it->first);
            PostMessageA(it->first, WM_COMMAND, IDOK, 0);
            open_.erase(it);
            break;
        }
    }
    toPress_.clear();
}

bool BoxWatcher::WaitForSeen(size_t count, DWORD timeoutMs) {
    const bool seen = PumpUntil(
        [&] {
            std::lock_guard<std::mutex> lock(mutex_);
            return seen_.size() >= count;
        },
        timeoutMs);
    // A driver that gives up ends what it drives: the boxes still open, and any that opens later.
    if (!seen && watchdog_)
        watchdog_->GiveUp("fewer than " + std::to_string(count) + " boxes showed within " + std::to_string(timeoutMs) +
                          " ms");
    return seen;
}

bool BoxWatcher::Press(const std::string& caption) {
    std::lock_guard<std::mutex> lock(mutex_);
    const bool open = std::any_of(open_.begin(), open_.end(), [&](auto& b) { return b.second == caption; });
    if (open) toPress_.push_back(caption);
    return open;
}

std::vector<SeenBox> BoxWatcher::Seen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

std::vector<SeenBox> BoxWatcher::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    if (thread_.joinable()) thread_.join();
    watchdog_.reset();
    return Seen();
}

PumpedThread::PumpedThread(std::function<void()> body) : body_(std::move(body)) {
    handle_ = CreateThread(nullptr, 0, &PumpedThread::Main, this, 0, nullptr);
}

PumpedThread::~PumpedThread() {
    if (!handle_) return;
    Watchdog watchdog("the second thread");
    JoinPumping(INFINITE);
    CloseHandle(handle_);
}

DWORD WINAPI PumpedThread::Main(void* self) {
    static_cast<PumpedThread*>(self)->body_();
    return 0;
}

bool PumpedThread::JoinPumping(DWORD timeoutMs) {
    return handle_ && PumpUntil([this] { return WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0; }, timeoutMs);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

HICON StockIconFor(UINT icon) {
    switch (icon) {
    case MB_ICONINFORMATION: return LoadIconA(nullptr, IDI_ASTERISK);
    case MB_ICONEXCLAMATION: return LoadIconA(nullptr, IDI_EXCLAMATION);
    case MB_ICONHAND: return LoadIconA(nullptr, IDI_HAND);
    default: return nullptr;
    }
}

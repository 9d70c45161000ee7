// Pipe peer and child-process helpers for the end-to-end tests of quorvex.exe.
#include "tests/app/panel_process_win.h"

#include <commctrl.h>

#include "link/pipe_server_win.h"
#include "tests/app/own_folder_start_win.h"
#include "tests/app/process_window_win.h"
#include "tests/support/programs_build_win.h"

namespace {
HANDLE MakePipe(connect_logic::PipeAccess side, int device, DWORD direction, DWORD inBuffer = 4096,
                bool messages = false) {
    pipe_server::EndShape shape{direction, 4096, inBuffer};
    shape.messages = messages;
    return pipe_server::Create(pipe_server::LocalName(side, device).c_str(), shape);
}

// A client that opened first leaves the event set, so that the wait finds it connected.
void StartConnect(HANDLE pipe, OVERLAPPED& ov) {
    ov = {};
    ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    pipe_server::Listen(pipe, &ov);
}

// Waits for one overlapped operation; cancels it when the time runs out.
bool Finish(HANDLE h, OVERLAPPED& ov, DWORD timeoutMs, DWORD* bytes) {
    DWORD got = 0;
    if (WaitForSingleObject(ov.hEvent, timeoutMs) != WAIT_OBJECT_0) {
        CancelIo(h);
        GetOverlappedResult(h, &ov, &got, TRUE);
        return false;
    }
    const BOOL ok = GetOverlappedResult(h, &ov, &got, FALSE);
    if (bytes) *bytes = got;
    return ok || GetLastError() == ERROR_PIPE_CONNECTED;
}

BOOL CALLBACK LongestStatic(HWND h, LPARAM lParam) {
    auto* best = reinterpret_cast<std::string*>(lParam);
    char cls[32] = "";
    GetClassNameA(h, cls, sizeof(cls));
    if (lstrcmpiA(cls, "Static") == 0) {
        std::string t = WindowText(h);
        if (t.size() > best->size()) *best = t;
    }
    return TRUE;
}
}  // namespace

PipePeer::PipePeer(int device, Sides sides, DWORD commandBuffer, bool messages) {
    if (sides != WriteOnly) {
        display_ = MakePipe(connect_logic::PipeAccess::Read, device, PIPE_ACCESS_OUTBOUND);
        if (display_ == INVALID_HANDLE_VALUE) return;
        StartConnect(display_, displayConnect_);
    }
    if (sides != ReadOnly) {
        commands_ = MakePipe(connect_logic::PipeAccess::Write, device, PIPE_ACCESS_INBOUND, commandBuffer, messages);
        if (commands_ == INVALID_HANDLE_VALUE) return;
        StartConnect(commands_, commandsConnect_);
    }
    ok_ = true;
}

PipePeer::~PipePeer() {
    Vanish();
    if (displayConnect_.hEvent) CloseHandle(displayConnect_.hEvent);
    if (commandsConnect_.hEvent) CloseHandle(commandsConnect_.hEvent);
}

bool PipePeer::WaitConnected(DWORD timeoutMs) {
    bool ok = true;
    if (display_ != INVALID_HANDLE_VALUE) ok = Finish(display_, displayConnect_, timeoutMs, nullptr) && ok;
    if (commands_ != INVALID_HANDLE_VALUE) ok = Finish(commands_, commandsConnect_, timeoutMs, nullptr) && ok;
    return ok;
}

bool PipePeer::Opened() const {
    for (const OVERLAPPED* ov : {&displayConnect_, &commandsConnect_})
        if (ov->hEvent && WaitForSingleObject(ov->hEvent, 0) == WAIT_OBJECT_0) return true;
    return false;
}

bool PipePeer::Send(const std::string& bytes) {
    if (display_ == INVALID_HANDLE_VALUE) return false;
    OVERLAPPED ov = {};
    ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD written = 0;
    bool ok = WriteFile(display_, bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &ov) ||
              GetLastError() == ERROR_IO_PENDING;
    ok = ok && Finish(display_, ov, 5000, &written) && written == bytes.size();
    CloseHandle(ov.hEvent);
    return ok;
}

std::string PipePeer::Receive(size_t count, DWORD timeoutMs) {
    std::string got;
    if (commands_ == INVALID_HANDLE_VALUE) return got;
    const DWORD start = GetTickCount();
    while (got.size() < count) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs) break;
        char buf[256];
        OVERLAPPED ov = {};
        ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        DWORD n = 0;
        const bool started = ReadFile(commands_, buf, static_cast<DWORD>(count - got.size() < sizeof(buf) ? count - got.size() : sizeof(buf)),
                                      nullptr, &ov) || GetLastError() == ERROR_IO_PENDING;
        const bool done = started && Finish(commands_, ov, timeoutMs - spent, &n);
        CloseHandle(ov.hEvent);
        if (!done) break;
        got.append(buf, n);
    }
    return got;
}

std::string PipePeer::ReceiveFor(DWORD timeoutMs) { return Receive(static_cast<size_t>(-1) / 2, timeoutMs); }

std::vector<std::string> PipePeer::ReceiveMessages(size_t count, DWORD timeoutMs, DWORD readSize, DWORD pauseMs) {
    std::vector<std::string> messages;
    std::string partial;
    const DWORD start = GetTickCount();
    while (messages.size() < count && commands_ != INVALID_HANDLE_VALUE) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs) break;
        char buf[256];
        OVERLAPPED ov = {};
        ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        const DWORD size = readSize < sizeof buf ? readSize : sizeof buf;
        DWORD n = 0;
        // A read that takes part of a message ends with ERROR_MORE_DATA.
        BOOL ok = ReadFile(commands_, buf, size, nullptr, &ov);
        bool done = ok || GetLastError() == ERROR_IO_PENDING || GetLastError() == ERROR_MORE_DATA;
        if (done && WaitForSingleObject(ov.hEvent, timeoutMs - spent) != WAIT_OBJECT_0) {
            CancelIo(commands_);
            GetOverlappedResult(commands_, &ov, &n, TRUE);
            done = false;
        }
        if (done) {
            ok = GetOverlappedResult(commands_, &ov, &n, FALSE);
            done = ok || GetLastError() == ERROR_MORE_DATA;
        }
        CloseHandle(ov.hEvent);
        if (!done) break;
        partial.append(buf, n);
        if (ok) {
            messages.push_back(partial);
            partial.clear();
        }
        if (pauseMs) Sleep(pauseMs);
    }
    return messages;
}

void PipePeer::StopReading() {
    if (commands_ != INVALID_HANDLE_VALUE) CloseHandle(commands_);
    commands_ = INVALID_HANDLE_VALUE;
}

void PipePeer::Vanish() {
    if (display_ != INVALID_HANDLE_VALUE) CloseHandle(display_);
    if (commands_ != INVALID_HANDLE_VALUE) CloseHandle(commands_);
    display_ = commands_ = INVALID_HANDLE_VALUE;
}

std::string HostUniqueToken(const char* prefix) {
    static const long long stamp = [] {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<long long>(now.QuadPart);
    }();
    return std::string(prefix) + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(stamp);
}

std::string PanelExePath() {
    const std::string other = OtherProgramsBuild();
    if (!other.empty()) return other + "\\app";
    std::string dir = QUORVEX_APP_DIR;
    for (char& c : dir)
        if (c == '/') c = '\\';
    return "Z:" + dir;
}

PanelProcess::PanelProcess(const std::string& arguments, DWORD limitMs) {
    std::string command = "quorvex.exe";
    if (!arguments.empty()) command += " " + arguments;
    process_ = StartInOwnFolder(PanelExePath(), command, &id_);
    if (process_) {
        TieToTestProcess(process_);
        watchdog_.reset(new Watchdog(command, limitMs));
        watchdog_->Guard(process_);
        WaitForInputIdle(process_, 5000);
    }
}

PanelProcess::~PanelProcess() {
    watchdog_.reset();
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

HWND PanelProcess::WaitMainWindow(const char* title, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        if (HWND found = FindProcessWindow(id_, "QuorvexFrame", title)) return found;
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

HWND PanelProcess::WaitDialog(const char* caption, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        if (HWND found = FindProcessWindow(id_, "#32770", caption)) return found;
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

int PanelProcess::WaitExit(DWORD timeoutMs) {
    if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return static_cast<int>(code);
}

std::string PanelProcess::StatusPane(HWND frame, int pane) {
    HWND bar = FindWindowExA(frame, nullptr, STATUSCLASSNAMEA, nullptr);
    if (!bar) return "<no status bar>";
    // The text must be written into the target's own memory.
    char* remote = static_cast<char*>(VirtualAllocEx(process_, nullptr, 1024, MEM_COMMIT, PAGE_READWRITE));
    if (!remote) return "<no memory>";
    char local[1024] = "";
    SendMessageA(bar, SB_GETTEXTA, pane, reinterpret_cast<LPARAM>(remote));
    SIZE_T read = 0;
    ReadProcessMemory(process_, remote, local, sizeof(local) - 1, &read);
    VirtualFreeEx(process_, remote, 0, MEM_RELEASE);
    return local;
}

std::string WindowText(HWND h) {
    char text[1024] = "";
    GetWindowTextA(h, text, sizeof(text));
    return text;
}

std::string MessageBoxText(HWND box) {
    std::string best;
    EnumChildWindows(box, &LongestStatic, reinterpret_cast<LPARAM>(&best));
    return best;
}

void PressButton(HWND dialog, int id) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id))); }

HWND WaitConnectedLocally(PipePeer& peer, PanelProcess& panel, DWORD timeoutMs) {
    if (!peer.Ok() || !panel.Started() || !peer.WaitConnected(timeoutMs)) return nullptr;
    if (peer.Receive(3, timeoutMs) != "PPK") return nullptr;
    return panel.WaitMainWindow("LOCAL - Quorvex", timeoutMs);
}

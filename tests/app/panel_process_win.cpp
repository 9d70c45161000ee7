// Pipe peer and child-process helpers for the end-to-end tests of quorvex.exe.
#include "tests/app/panel_process_win.h"

#include <commctrl.h>

#include <algorithm>

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
        display_.pipe = MakePipe(connect_logic::PipeAccess::Read, device, PIPE_ACCESS_OUTBOUND);
        if (display_.pipe == INVALID_HANDLE_VALUE) return;
        display_.connect.StartConnect(display_.pipe);
    }
    if (sides != ReadOnly) {
        commands_.pipe = MakePipe(connect_logic::PipeAccess::Write, device, PIPE_ACCESS_INBOUND, commandBuffer, messages);
        if (commands_.pipe == INVALID_HANDLE_VALUE) return;
        commands_.connect.StartConnect(commands_.pipe);
    }
    ok_ = true;
}

PipePeer::~PipePeer() { Vanish(); }

void PipePeer::Close(End& end) {
    end.connect.Cancel();
    if (end.pipe != INVALID_HANDLE_VALUE) CloseHandle(end.pipe);
    end.pipe = INVALID_HANDLE_VALUE;
}

bool PipePeer::WaitConnected(DWORD timeoutMs) {
    bool ok = true;
    for (End* end : {&display_, &commands_}) {
        if (end->pipe == INVALID_HANDLE_VALUE) continue;
        // A wait that runs out gives the listening up.
        if (!end->connected && end->connect.Pending())
            end->connected = end->connect.Settle(end->connect.Wait({timeoutMs})) == pipe_server::IoOutcome::Done;
        ok = end->connected && ok;
    }
    return ok;
}

bool PipePeer::Opened() const {
    for (const End* end : {&display_, &commands_})
        if (end->connected || end->connect.Ready()) return true;
    return false;
}

bool PipePeer::Send(const std::string& bytes) {
    constexpr DWORD kSendMs = 5000;
    pipe_server::OverlappedIo io;
    return display_.pipe != INVALID_HANDLE_VALUE &&
           io.WriteAll(display_.pipe, bytes.data(), static_cast<DWORD>(bytes.size()), {kSendMs}) ==
               pipe_server::IoOutcome::Done;
}

std::string PipePeer::Receive(size_t count, DWORD timeoutMs) {
    std::string got;
    pipe_server::OverlappedIo io;
    if (commands_.pipe != INVALID_HANDLE_VALUE) io.ReadUpTo(commands_.pipe, count, got, {timeoutMs});
    return got;
}

std::string PipePeer::ReceiveFor(DWORD timeoutMs) { return Receive(static_cast<size_t>(-1) / 2, timeoutMs); }

std::vector<std::string> PipePeer::ReceiveMessages(size_t count, DWORD timeoutMs, DWORD readSize, DWORD pauseMs) {
    std::vector<std::string> messages;
    std::string partial;
    pipe_server::OverlappedIo io;
    const DWORD start = GetTickCount();
    while (messages.size() < count && commands_.pipe != INVALID_HANDLE_VALUE) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs) break;
        char buf[256];
        DWORD n = 0;
        const pipe_server::IoOutcome outcome =
            io.Read(commands_.pipe, buf, (std::min)(readSize, DWORD{sizeof buf}), &n, {timeoutMs - spent});
        // A read that takes part of a message ends with ERROR_MORE_DATA.
        const bool whole = outcome == pipe_server::IoOutcome::Done;
        if (!whole && !(outcome == pipe_server::IoOutcome::Failed && io.LastError() == ERROR_MORE_DATA)) break;
        partial.append(buf, n);
        if (whole) {
            messages.push_back(partial);
            partial.clear();
        }
        if (pauseMs) Sleep(pauseMs);
    }
    return messages;
}

void PipePeer::StopReading() { Close(commands_); }

void PipePeer::Vanish() {
    Close(display_);
    Close(commands_);
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

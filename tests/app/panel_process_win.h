// Test harness for quorvex.exe: a pipe peer on one device, the program started as a child
// process, and cross-process reads of its window title, status panes and message boxes.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "link/pipe_server_io_win.h"
#include "tests/support/watchdog_win.h"

// Server side of one device's pipe pair, as the control application offers it.
class PipePeer {
public:
    enum Sides { Both, ReadOnly, WriteOnly };
    // commandBuffer 0: every command write of the panel blocks until the peer reads it.
    // messages: the command pipe keeps each write of the panel as a message of its own.
    PipePeer(int device, Sides sides = Both, DWORD commandBuffer = 4096, bool messages = false);
    ~PipePeer();
    bool Ok() const { return ok_; }

    // Waits until the panel opened the sides that exist.
    bool WaitConnected(DWORD timeoutMs);
    // Whether a client has opened either side so far; unlike WaitConnected, it leaves the
    // listening as it was (asked before any WaitConnected that ran out of time).
    bool Opened() const;
    // Sends display bytes to the panel.
    bool Send(const std::string& bytes);
    // Collects bytes the panel wrote until `count` arrived or the time ran out.
    std::string Receive(size_t count, DWORD timeoutMs);
    // Everything that arrives within the time.
    std::string ReceiveFor(DWORD timeoutMs);
    // Up to `count` messages (reads, on a byte pipe), each read of at most readSize bytes with
    // pauseMs after it; a message longer than a read is gathered whole.
    std::vector<std::string> ReceiveMessages(size_t count, DWORD timeoutMs, DWORD readSize = 256, DWORD pauseMs = 0);
    // Closes both sides abruptly, as a crashed control application would.
    void Vanish();
    // Closes only the side the panel writes: its next command cannot be written.
    void StopReading();

private:
    struct End {
        HANDLE pipe = INVALID_HANDLE_VALUE;
        pipe_server::OverlappedIo connect;
        bool connected = false;
    };
    static void Close(End& end);
    bool ok_ = false;
    End display_;   // the panel reads it
    End commands_;  // the panel writes it
};

// quorvex.exe run as a child process; ended by the destructor whatever happened, by its
// watchdog when it runs too long, and with the test process should that end first.
class PanelProcess {
public:
    // limitMs: how long the process may run before its watchdog ends it.
    explicit PanelProcess(const std::string& arguments, DWORD limitMs = watchdog::kProcessMs);
    ~PanelProcess();
    bool Started() const { return process_ != nullptr; }

    HWND WaitMainWindow(const char* title, DWORD timeoutMs);
    // A top-level dialog of the process with this caption.
    HWND WaitDialog(const char* caption, DWORD timeoutMs);
    // Exit code once ended within the time, or -1.
    int WaitExit(DWORD timeoutMs);
    DWORD Id() const { return id_; }
    HANDLE Process() const { return process_; }

    std::string StatusPane(HWND frame, int pane);

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
    std::unique_ptr<Watchdog> watchdog_;
};

// Waits until the panel connected to the peer, sent its first commands and shows the local
// title; its main window, or null.
HWND WaitConnectedLocally(PipePeer& peer, PanelProcess& panel, DWORD timeoutMs);

std::string WindowText(HWND h);
// The message text of a message box (its longest static text).
std::string MessageBoxText(HWND box);
void PressButton(HWND dialog, int id);
// The folder of quorvex.exe in the test binary's build tree (or in QUORVEX_PROGRAMS_BUILD's).
std::string PanelExePath();
// An argument unique on the host, made once per test process: the Linux process is found by it,
// and Windows process ids repeat between the Wine servers of tests running side by side.
std::string HostUniqueToken(const char* prefix);

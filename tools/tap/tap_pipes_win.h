// The tap's pipe ends, all overlapped so that every wait also ends on a stop event: the
// control's pair watched without opening it, then opened as the panel opens it, and the pair
// offered to the panel.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "tools/tap/tap_options.h"

enum class IoResult { Ok, Failed, Stopped, Abandoned };

// Overlapped reads, writes and connects of one thread, each waited for or abandoned on `stop`.
class OverlappedIo {
public:
    OverlappedIo();
    ~OverlappedIo();
    OverlappedIo(const OverlappedIo&) = delete;
    OverlappedIo& operator=(const OverlappedIo&) = delete;

    IoResult Read(HANDLE pipe, char* buffer, DWORD capacity, DWORD* got, HANDLE stop);
    IoResult WriteAll(HANDLE pipe, const char* bytes, DWORD count, HANDLE stop);
    // Waits until a client has opened this server end; while it waits, keepWaiting (when given)
    // is asked every poll and abandons the wait by answering false.
    IoResult Connect(HANDLE pipe, HANDLE stop, const std::function<bool()>& keepWaiting = nullptr);
    // The Win32 error of the last failed call.
    DWORD LastError() const { return error_; }

private:
    IoResult Finish(HANDLE pipe, OVERLAPPED& overlapped, DWORD* count, HANDLE stop,
                    const std::function<bool()>& keepWaiting = nullptr);
    IoResult Fail();

    HANDLE event_;
    DWORD error_ = 0;
};

// Whether the control application offers its pair of `device`, asked without opening either
// pipe, so that the control sees no client. Busy: another client holds one of them.
enum class Presence { Offered, Busy, Absent, Failed };
Presence ControlPresence(int device, std::string& detail);
// Waits until the control offers both pipes, for up to waitMs; 0 or a text id (`detail` then
// names the pipe and the error).
unsigned WaitForControl(int device, uint32_t waitMs, std::string& detail);
// Opens the control application's pair of `device` (read side first), retrying while it is
// not offered yet for up to waitMs. 0 or a text id; `detail` then names the pipe and the error.
unsigned OpenControlPipes(int device, uint32_t waitMs, HANDLE& readPipe, HANDLE& writePipe, std::string& detail);
// Creates the pair the panel opens for the listen device: the display pipe we write, the command
// pipe we read; remote clients refused unless the options allow them.
unsigned CreatePanelPipes(const TapOptions& options, HANDLE& displayPipe, HANDLE& commandPipe, std::string& detail);
void ClosePipe(HANDLE& pipe);

// The tap's pipe ends, all overlapped so that every wait also ends on a stop event: the
// control's pair watched without opening it, then opened as the panel opens it, and the pair
// offered to the panel.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "tools/tap/tap_options.h"

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

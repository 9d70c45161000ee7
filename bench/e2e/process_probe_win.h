// A Wine process seen from outside: its Linux twin's CPU time (read from /proc through drive Z:),
// its handle count (from the system's handle table) and its working set.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace process_probe {
// The Linux pid of the process whose command line holds `token`; 0 when there is not exactly one.
int FindLinuxPid(const std::string& token);
// User plus system CPU time of the Linux process in ms (10 ms ticks); -1 when unreadable.
int64_t CpuMs(int linuxPid);
// Handles the process holds in the Wine server (or the Windows kernel); -1 when unknown.
int64_t HandleCount(DWORD processId);
// Peak working set in bytes; 0 when unknown.
uint64_t PeakWorkingSet(HANDLE process);
}  // namespace process_probe

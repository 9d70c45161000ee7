// /proc is reached as Z:\proc; GetProcessHandleCount is a stub under Wine, the system handle
// table (class 64) is not.
#include "bench/e2e/process_probe_win.h"

#include <psapi.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace process_probe {
namespace {
std::string ReadSmallFile(const std::string& path) {
    std::string text;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return text;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    std::fclose(f);
    return text;
}

struct HandleEntry {
    void* object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG access;
    USHORT backTrace;
    USHORT typeIndex;
    ULONG attributes;
    ULONG reserved;
};
struct HandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};
constexpr ULONG kSystemExtendedHandleInformation = 64;
using QuerySystemInformation = LONG(NTAPI*)(ULONG, void*, ULONG, ULONG*);
}  // namespace

int FindLinuxPid(const std::string& token) {
    int found = 0;
    int matches = 0;
    WIN32_FIND_DATAA entry;
    HANDLE dir = FindFirstFileA("Z:\\proc\\*", &entry);
    if (dir == INVALID_HANDLE_VALUE) return 0;
    do {
        const int pid = std::atoi(entry.cFileName);
        if (pid <= 0) continue;
        std::string line = ReadSmallFile("Z:\\proc\\" + std::to_string(pid) + "\\cmdline");
        for (char& c : line)
            if (c == '\0') c = ' ';
        if (line.find(token) != std::string::npos && line.find("quorvex") != std::string::npos) {
            found = pid;
            ++matches;
        }
    } while (FindNextFileA(dir, &entry));
    FindClose(dir);
    return matches == 1 ? found : 0;
}

int64_t CpuMs(int linuxPid) {
    const std::string stat = ReadSmallFile("Z:\\proc\\" + std::to_string(linuxPid) + "\\stat");
    // Fields after the parenthesised name: state is field 3, utime 14, stime 15.
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    const char* p = stat.c_str() + close + 1;
    long long fields[13] = {};
    char state = 0;
    if (std::sscanf(p, " %c %lld %lld %lld %lld %lld %lld %lld %lld %lld %lld %lld %lld", &state, &fields[0],
                    &fields[1], &fields[2], &fields[3], &fields[4], &fields[5], &fields[6], &fields[7], &fields[8],
                    &fields[9], &fields[10], &fields[11]) != 13)
        return -1;
    // Linux reports user time in 100 Hz ticks.
    return (fields[10] + fields[11]) * 10;
}

int64_t HandleCount(DWORD processId) {
    auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return -1;
    std::vector<char> buf(1 << 20);
    for (int attempt = 0; attempt < 5; ++attempt) {
        ULONG needed = 0;
        const LONG status = query(kSystemExtendedHandleInformation, buf.data(), static_cast<ULONG>(buf.size()), &needed);
        if (status == 0) {
            const auto* table = reinterpret_cast<const HandleTable*>(buf.data());
            int64_t count = 0;
            for (ULONG_PTR i = 0; i < table->count; ++i)
                if (table->entries[i].processId == processId) ++count;
            return count;
        }
        buf.resize(buf.size() * 2 + needed);
    }
    return -1;
}

uint64_t PeakWorkingSet(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.PeakWorkingSetSize : 0;
}
}  // namespace process_probe

// Starts a program of ours as the tests and the benchmark do: from its own folder by its plain
// name. With a full path Wine once failed to make the window, and the search for a plain name
// looks in the caller's current folder, so that is set for the call and put back.
#pragma once
#include <windows.h>

#include <string>

// `commandLine` begins with the program's plain name; `flags` are CreateProcess's creation flags.
// Returns the process handle (the thread's is closed) and, when `pid` is given, its id; null when
// it could not start.
inline HANDLE StartInOwnFolder(const std::string& dir, std::string commandLine, DWORD* pid, DWORD flags = 0) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    char previous[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(dir.c_str());
    const BOOL ok = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, flags, nullptr, dir.c_str(), &si, &pi);
    SetCurrentDirectoryA(previous);
    if (!ok) return nullptr;
    CloseHandle(pi.hThread);
    if (pid) *pid = pi.dwProcessId;
    return pi.hProcess;
}

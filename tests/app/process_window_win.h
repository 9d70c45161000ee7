// Finding a window of another process of ours, as the tests and the benchmark wait for a
// program's main window or box.
#pragma once
#include <windows.h>

#include <cstring>

namespace process_window {
struct Search {
    DWORD pid;
    const char* className;
    const char* title;
    HWND found;
};

inline BOOL CALLBACK Match(HWND h, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != s->pid || !IsWindowVisible(h)) return TRUE;
    char text[256] = "";
    if (s->className && (!GetClassNameA(h, text, sizeof text) || std::strcmp(text, s->className) != 0)) return TRUE;
    text[0] = '\0';
    if (s->title && (GetWindowTextA(h, text, sizeof text), std::strcmp(text, s->title) != 0)) return TRUE;
    s->found = h;
    return FALSE;
}
}  // namespace process_window

// The first visible top-level window of process `pid` with this class and title (null: any).
inline HWND FindProcessWindow(DWORD pid, const char* className, const char* title) {
    process_window::Search s = {pid, className, title, nullptr};
    EnumWindows(&process_window::Match, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

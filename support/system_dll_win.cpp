// Loading the system DLLs from the system folder: by the loader's own flag where it has it,
// else by the full path, so that the program's folder is never searched.
#include "support/system_dll_win.h"

#include <atomic>

namespace system_dll {
namespace {

struct DllFile {
    Dll dll;
    const wchar_t* name;
};
constexpr DllFile kDlls[] = {
    {Dll::CommonControls, L"comctl32.dll"},
    {Dll::Network, L"mpr.dll"},
    {Dll::DrawDib, L"msvfw32.dll"},
};
constexpr int kDllCount = sizeof(kDlls) / sizeof(kDlls[0]);

// Named here rather than taken from the headers: Windows 7 without its update lacks both.
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

// A loaded DLL stays for the process's life; two threads loading at once only count it twice.
std::atomic<HMODULE> g_modules[kDllCount];

HMODULE Kernel() { return GetModuleHandleW(L"kernel32.dll"); }

// The flag exists exactly where AddDllDirectory does.
bool LoaderKnowsSearchFlags() { return GetProcAddress(Kernel(), "AddDllDirectory") != nullptr; }

HMODULE LoadFromSystemFolder(const wchar_t* name) {
    if (LoaderKnowsSearchFlags()) return LoadLibraryExW(name, nullptr, kSearchSystem32);
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 1 + lstrlenW(name) >= MAX_PATH) return nullptr;
    path[length] = L'\\';
    lstrcpyW(path + length + 1, name);
    // Its own dependencies are then looked for beside it, in the system folder.
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

void RestrictSearchPath() {
    auto set = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(Kernel(), "SetDefaultDllDirectories")));
    if (set) set(kSearchSystem32);
}

FARPROC Find(Dll dll, const char* name) {
    int index = 0;
    while (index < kDllCount && kDlls[index].dll != dll) ++index;
    if (index == kDllCount) return nullptr;
    HMODULE module = g_modules[index].load();
    if (!module) {
        module = LoadFromSystemFolder(kDlls[index].name);
        if (!module) return nullptr;
        g_modules[index].store(module);
    }
    return GetProcAddress(module, name);
}

}  // namespace system_dll

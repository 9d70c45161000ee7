// DLLs planted beside every shipped program, under the names of the system DLLs that are not
// KnownDLLs: none of them may run. Wine prefers its own DLLs, so the run gives these names
// Windows' order (native first, from the program's folder) through its per-program overrides.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "shipped_programs.h"
#include "tests/app/own_folder_start_win.h"
#include "tests/app/process_window_win.h"
#include "tests/support/watchdog_win.h"

namespace {

// Each run's bound: all of them fit within the test's own limit.
constexpr DWORD kWaitMs = 8000;

// uxtheme is what the common controls load. version.dll is left out: Wine's own advapi32
// imports it, which Windows' advapi32, a KnownDLL, does not.
constexpr const char* kPlanted[] = {"mpr", "msvfw32", "comctl32", "uxtheme"};

// How far each program is taken: far enough that it has loaded every system DLL it needs.
struct ProgramRun {
    const char* program;
    const char* arguments;
    // A dialog that shows once it got there (the process is then ended), or null: it exits.
    const char* dialog;
};
// The panel paints its window (DrawDib, the status bar) before it asks for the remote password
// (networking); the headless panel's silent remote attempt fails under Wine and it exits.
constexpr ProgramRun kRuns[] = {
    {"quorvex", "-r PLANT", "Enter Network Password"},
    {"quorvex-headless", "-r PLANT --script planted.txt", nullptr},
    {"quorvex-sim", "--version", nullptr},
    {"quorvex-dump", "--version", nullptr},
    {"quorvex-tap", "--version", nullptr},
};

std::string Folder(const char* program) {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    return std::string(temp) + "quorvex-planted-" + program;
}

std::string ShippedPath(const char* program) {
    for (const ShippedProgram& shipped : kShippedPrograms)
        if (std::string(shipped.name) == program) return std::string("Z:") + kOwnBuild + "\\" + shipped.path;
    return "";
}

std::string PlantedDll() {
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string path = self;
    return path.substr(0, path.find_last_of('\\') + 1) + "planted_dll.dll";
}

void Empty(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder + "\\" + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

std::vector<std::string> Ran(const std::string& folder) {
    std::vector<std::string> ran;
    for (const char* name : kPlanted)
        if (GetFileAttributesA((folder + "\\" + name + ".dll.ran").c_str()) != INVALID_FILE_ATTRIBUTES) ran.push_back(name);
    return ran;
}

// Native first for the planted names, as Windows treats a DLL that is not a KnownDLL: Wine's
// per-program overrides, for the copy's name only and while it runs (an environment variable
// set here would not reach the child).
class NativeFirst {
public:
    explicit NativeFirst(const std::string& exe) : key_("Software\\Wine\\AppDefaults\\" + exe) {
        HKEY overrides = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, (key_ + "\\DllOverrides").c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &overrides, nullptr) != ERROR_SUCCESS)
            return;
        for (const char* name : kPlanted)
            RegSetValueExA(overrides, name, 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"), 15);
        RegCloseKey(overrides);
    }
    ~NativeFirst() { RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()); }

private:
    std::string key_;
};

// Plants the DLLs beside a copy of `exe`, takes it as far as `run` says and returns the planted
// names that ran.
std::vector<std::string> RunBesidePlanted(const std::string& exe, const char* name, const ProgramRun& run) {
    const std::string folder = Folder(name);
    CreateDirectoryA(folder.c_str(), nullptr);
    Empty(folder);
    const std::string copy = std::string("planted-") + name + ".exe";
    NativeFirst order(copy);
    EXPECT_TRUE(CopyFileA(exe.c_str(), (folder + "\\" + copy).c_str(), FALSE)) << exe;
    for (const char* dll : kPlanted)
        EXPECT_TRUE(CopyFileA(PlantedDll().c_str(), (folder + "\\" + dll + ".dll").c_str(), FALSE));
    HANDLE script = CreateFileA((folder + "\\planted.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(script, "expect MAIN MENU\n", 17, &written, nullptr);
    CloseHandle(script);

    DWORD pid = 0;
    HANDLE process = StartInOwnFolder(folder, copy + " " + run.arguments, &pid);
    EXPECT_NE(process, nullptr) << copy;
    if (process) {
        Watchdog watchdog(copy + " beside the planted DLLs", watchdog::kProcessMs);
        watchdog.Guard(process);
        if (run.dialog) {
            bool found = false;
            const DWORD start = GetTickCount();
            while (!found && GetTickCount() - start < kWaitMs && WaitForSingleObject(process, 20) == WAIT_TIMEOUT)
                found = FindProcessWindow(pid, nullptr, run.dialog) != nullptr;
            EXPECT_TRUE(found) << "no \"" << run.dialog << "\" dialog";
            TerminateProcess(process, 0);
        }
        EXPECT_EQ(WaitForSingleObject(process, kWaitMs), WAIT_OBJECT_0) << "still running";
        CloseHandle(process);
    }
    const std::vector<std::string> ran = Ran(folder);
    Empty(folder);
    RemoveDirectoryA(folder.c_str());
    return ran;
}

TEST(PlantedDlls, NoneRunsBesideAnyShippedProgram) {
    // The control case: a static import of networking loads the planted one.
    const std::string probe = PlantedDll().substr(0, PlantedDll().find_last_of('\\') + 1) + "planted_dll_probe.exe";
    ASSERT_EQ(RunBesidePlanted(probe, "probe", {"planted_dll_probe", "", nullptr}), std::vector<std::string>{"mpr"});
    for (const ProgramRun& run : kRuns) {
        SCOPED_TRACE(run.program);
        EXPECT_EQ(RunBesidePlanted(ShippedPath(run.program), run.program, run), std::vector<std::string>{})
            << "planted DLLs ran";
    }
}

}  // namespace

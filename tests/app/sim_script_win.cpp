// quorvex-sim.exe in script mode for the end-to-end tests.
#include "tests/app/sim_script_win.h"

#include <cstdio>

namespace {
std::string SimDir() {
    std::string dir = QUORVEX_SIM_DIR;
    for (char& c : dir)
        if (c == '/') c = '\\';
    return "Z:" + dir;
}
}  // namespace

SimScript::SimScript(const std::string& script, int device, DWORD timeoutMs) {
    const std::string dir = SimDir();
    const std::string name = "script_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(device);
    scriptPath_ = dir + "\\" + name + ".txt";
    outputPath_ = dir + "\\" + name + ".log";
    FILE* f = std::fopen(scriptPath_.c_str(), "wb");
    if (!f) return;
    std::fputs(script.c_str(), f);
    std::fclose(f);
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE out = CreateFileA(outputPath_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    std::string command = "quorvex-sim.exe --device " + std::to_string(device) + " --timeout " +
                          std::to_string(timeoutMs) + " --script " + name + ".txt";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = out;
    PROCESS_INFORMATION pi = {};
    // Started from its own folder by its plain name, as Wine makes windows reliably that way.
    char previous[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof(previous), previous);
    SetCurrentDirectoryA(dir.c_str());
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, dir.c_str(), &si, &pi)) {
        process_ = pi.hProcess;
        CloseHandle(pi.hThread);
        TieToTestProcess(process_);
        watchdog_.reset(new Watchdog("quorvex-sim.exe playing " + name, watchdog::kProcessMs));
        watchdog_->Guard(process_);
    }
    SetCurrentDirectoryA(previous);
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    Sleep(300);  // until its pipes are offered
}

SimScript::~SimScript() {
    watchdog_.reset();
    if (process_) {
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_, 99);
            WaitForSingleObject(process_, 5000);
        }
        CloseHandle(process_);
    }
    DeleteFileA(scriptPath_.c_str());
    DeleteFileA(outputPath_.c_str());
}

int SimScript::WaitExit(DWORD timeoutMs) {
    DWORD code = 99;
    if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return -1;
    GetExitCodeProcess(process_, &code);
    return static_cast<int>(code);
}

std::string SimScript::Output() const {
    std::string text;
    FILE* f = std::fopen(outputPath_.c_str(), "rb");
    if (!f) return text;
    char buf[512];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0) text.append(buf, n);
    std::fclose(f);
    return text;
}

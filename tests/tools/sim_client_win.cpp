// The simulator harness: child process tied to the test process, polling pipe client, temp files.
#include "sim_client_win.h"

#include <vector>

#include "link/pipe_server_win.h"
#include "tests/support/programs_build_win.h"

namespace {
constexpr DWORD kPollMs = 10;

std::string ExeFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/") + 1);
}

// The tools sit in tools\<tool> of the same build tree as this test (tests\tools), or of
// QUORVEX_PROGRAMS_BUILD's.
std::string ToolFolder(const std::string& tool) {
    const std::string other = OtherProgramsBuild();
    if (!other.empty()) return other + "\\tools\\" + tool + "\\";
    char full[MAX_PATH];
    std::string relative = ExeFolder() + "..\\..\\tools\\" + tool + "\\";
    DWORD n = GetFullPathNameA(relative.c_str(), MAX_PATH, full, nullptr);
    return std::string(full, n);
}

std::string TempPath(const char* prefix) {
    char folder[MAX_PATH];
    char file[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, prefix, 0, file);
    return file;
}
}  // namespace

ToolProcess::ToolProcess(const std::string& tool, const std::string& arguments, HANDLE standardOutput) {
    outputPath_ = TempPath("out");
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE output = CreateFileA(outputPath_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = standardOutput ? standardOutput : output;
    si.hStdError = output;
    PROCESS_INFORMATION pi = {};
    std::string folder = ToolFolder(tool);
    std::string exe = folder + "quorvex-" + tool + ".exe";
    std::vector<char> commandLine;
    std::string line = "quorvex-" + tool + ".exe " + arguments;
    commandLine.assign(line.begin(), line.end());
    commandLine.push_back('\0');
    if (CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                       folder.c_str(), &si, &pi)) {
        TieToTestProcess(pi.hProcess);
        ResumeThread(pi.hThread);
        CloseHandle(pi.hThread);
        process_ = pi.hProcess;
        watchdog_.reset(new Watchdog(line, watchdog::kProcessMs));
        watchdog_->Guard(process_);
    }
    if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
}

ToolProcess::~ToolProcess() {
    watchdog_.reset();
    if (process_) {
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_, 99);
            WaitForSingleObject(process_, 5000);
        }
        CloseHandle(process_);
    }
    DeleteFileA(outputPath_.c_str());
}

int ToolProcess::WaitExit(DWORD timeoutMs) {
    if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return static_cast<int>(code);
}

std::string ToolProcess::Output() const {
    HANDLE file = CreateFileA(outputPath_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

bool ToolProcess::WaitOutput(const std::string& text, DWORD timeoutMs) {
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const bool ended = WaitExit(0) != -1;
        if (Output().find(text) != std::string::npos) return true;
        if (ended || GetTickCount64() >= deadline) return false;
        Sleep(kPollMs);
    }
}

bool PanelClient::Open(int device, DWORD timeoutMs) {
    const std::string readName = pipe_server::LocalName(connect_logic::PipeAccess::Read, device);
    const std::string writeName = pipe_server::LocalName(connect_logic::PipeAccess::Write, device);
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        // The second pipe only after the first: a half taken by a failed attempt would be
        // refused to the next attempts until the simulator notices it is gone.
        read_ = CreateFileA(readName.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (read_ != INVALID_HANDLE_VALUE)
            write_ = CreateFileA(writeName.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (read_ != INVALID_HANDLE_VALUE && write_ != INVALID_HANDLE_VALUE) {
            received_.clear();
            broken_ = false;
            return true;
        }
        Close();
        if (GetTickCount64() >= deadline) return false;
        Sleep(20);
    }
}

bool PanelClient::Write(const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(write_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool PanelClient::Poll() {
    if (broken_) return false;
    DWORD available = 0;
    if (!PeekNamedPipe(read_, nullptr, 0, nullptr, &available, nullptr)) {
        broken_ = true;
        return false;
    }
    if (available == 0) return true;
    std::string buffer(available, '\0');
    DWORD got = 0;
    if (!ReadFile(read_, &buffer[0], available, &got, nullptr)) {
        broken_ = true;
        return false;
    }
    received_.append(buffer, 0, got);
    return true;
}

bool PanelClient::ReadUntil(const std::string& wanted, DWORD timeoutMs) {
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        bool alive = Poll();
        if (received_.find(wanted) != std::string::npos) return true;
        if (!alive || GetTickCount64() >= deadline) return false;
        Sleep(kPollMs);
    }
}

bool PanelClient::ReadFor(DWORD timeoutMs) {
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (GetTickCount64() < deadline) {
        if (!Poll()) return false;
        Sleep(kPollMs);
    }
    return Poll();
}

bool PanelClient::WaitBroken(DWORD timeoutMs) {
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (!Poll()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(kPollMs);
    }
}

void PanelClient::Close() {
    if (read_ != INVALID_HANDLE_VALUE) CloseHandle(read_);
    if (write_ != INVALID_HANDLE_VALUE) CloseHandle(write_);
    read_ = INVALID_HANDLE_VALUE;
    write_ = INVALID_HANDLE_VALUE;
}

TempScript::TempScript(const std::string& text) {
    path_ = TempPath("scr");
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

TempScript::~TempScript() { DeleteFileA(path_.c_str()); }

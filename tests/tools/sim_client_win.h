// Test harness for the tools: a tool as a child process with captured output, a panel-side
// client of the simulator's pipes, and a temporary script file.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "tests/support/watchdog_win.h"

// quorvex-<tool>.exe (tool "sim", "tap", "headless") started from its own folder; ended by the
// destructor whatever happened, by its watchdog when it runs too long, and with the test process
// should that end first.
class ToolProcess {
public:
    // standardOutput: a handle the tool inherits as its standard output (its standard error still
    // goes to Output()); null: both go to Output().
    ToolProcess(const std::string& tool, const std::string& arguments, HANDLE standardOutput = nullptr);
    ~ToolProcess();
    bool Started() const { return process_ != nullptr; }
    // Exit code once ended within the time, or -1.
    int WaitExit(DWORD timeoutMs);
    bool Running() { return WaitExit(0) == -1; }
    // Everything it wrote to standard output and standard error so far.
    std::string Output() const;
    // Waits until its output holds `text`; false when the time ran out or it ended without it.
    bool WaitOutput(const std::string& text, DWORD timeoutMs);

private:
    HANDLE process_ = nullptr;
    std::string outputPath_;
    std::unique_ptr<Watchdog> watchdog_;
};

// The panel's side of one device: opens both pipes as the panel does (read first, then write).
class PanelClient {
public:
    ~PanelClient() { Close(); }
    // Retries until both pipes open or the time runs out.
    bool Open(int device, DWORD timeoutMs);
    bool Write(const std::string& bytes);
    // Reads until `wanted` has arrived in the bytes read so far, the pipe breaks or the time ends.
    bool ReadUntil(const std::string& wanted, DWORD timeoutMs);
    // Reads whatever arrives within the time; false once the pipe is broken.
    bool ReadFor(DWORD timeoutMs);
    // Waits until the simulator has closed its end (a read reports the broken pipe).
    bool WaitBroken(DWORD timeoutMs);
    void Close();
    const std::string& Received() const { return received_; }

private:
    // One poll of the read pipe; false when it is broken.
    bool Poll();
    HANDLE read_ = INVALID_HANDLE_VALUE;
    HANDLE write_ = INVALID_HANDLE_VALUE;
    std::string received_;
    bool broken_ = false;
};

// A script in the temporary folder, deleted again by the destructor.
class TempScript {
public:
    explicit TempScript(const std::string& text);
    ~TempScript();
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

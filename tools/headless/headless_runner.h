// Plays a headless-panel script: keys through the same bindings and latch roads as the window,
// expectations waited for on the display within their time-outs.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "keypad/key_bindings.h"
#include "keypad/latch_keys.h"
#include "protocol/panel_command.h"
#include "tools/common/screen_text.h"
#include "tools/headless/headless_script.h"

// Why the screen is not the one expected (the first line or the cursor that differs), or "".
std::string ScreenMismatch(const ExpectedScreen& expected, const ScreenCopy& shown);

// Connected: the link is up. Exited: the control sent its exit notice (the panel would close).
// Lost: the control's pipes are gone without an exit notice.
enum class PanelState { Connected, Exited, Lost };

// What the runner needs of the panel it plays.
class HeadlessPanel {
public:
    virtual int32_t QueueCommand(const PanelCommand& command) = 0;
    virtual int WriteBytes(const char* bytes, int32_t count) = 0;
    // Writes the Branch To dialog's command for this text; returns the bytes written.
    virtual std::string BranchTo(const std::string& text) = 0;
    virtual ScreenCopy Screen() = 0;
    virtual PanelState State() = 0;
    // The panel's text once the control is known to be gone without its exit notice (a command
    // that found it gone, or the reads), or null while it is not.
    virtual const char* LostControlText() = 0;
    // Something the script sent still waits for the control to take it.
    virtual bool Sending() = 0;
    // Returns when the display or the state changed, or after `ms`.
    virtual void WaitForChange(uint32_t ms) = 0;
    virtual uint64_t NowMs() = 0;
    virtual void SleepMs(uint32_t ms) = 0;

protected:
    ~HeadlessPanel() = default;
};

struct HeadlessResult {
    bool passed = false;
    int line = 0;             // script line of the failed step
    std::string message;      // names the step and why it failed
    std::string expectation;  // the failed step as "line N: expect ..."
};

class HeadlessRunner final : private KeypadPort {
public:
    using Output = std::function<void(const std::string&)>;
    // `log` gets one line per step; `print` the screens of screen steps.
    HeadlessRunner(HeadlessPanel& panel, Output log, Output print);

    HeadlessResult Run(const std::vector<HeadlessStep>& steps, uint32_t overallMs);

private:
    HeadlessResult Play(const HeadlessStep& step);
    HeadlessResult Press(const HeadlessStep& step);
    // Waits until `held` says yes for the screen, or fails with `what` and the reason.
    HeadlessResult AwaitScreen(const HeadlessStep& step, const std::function<std::string(const ScreenCopy&)>& mismatch);
    HeadlessResult AwaitExit(const HeadlessStep& step);
    HeadlessResult Pause(const HeadlessStep& step);
    // After the last step: what it sent reaches the control, or the loss found meanwhile fails it.
    HeadlessResult Settle(const HeadlessStep& last);
    // Why the control can no longer be trusted, or "" while it can.
    std::string Loss(PanelState state);
    // The FAST and SLOW lamps after a step that changed either, as "; FAST lit, SLOW out".
    std::string LampNote(bool fastBefore, bool slowBefore) const;
    HeadlessResult Fail(const HeadlessStep& step, const std::string& why) const;
    // The step's own deadline or the run's, whichever comes first; *overallFirst tells which.
    uint64_t StepDeadline(const HeadlessStep& step, bool* overallFirst);
    std::string TimedOut(const HeadlessStep& step, bool overallFirst) const;
    std::string OverallTimeOut() const;

    // KeypadPort: the latches are modelled here, the writes go to the panel and are noted.
    bool ShowsPushed(int32_t keyId) override { return latches_.ShowsPushed(keyId); }
    void ToggleLatch(int32_t keyId) override { latches_.ToggleLatch(keyId); }
    void ReleaseLatch(int32_t keyId) override { latches_.ReleaseLatch(keyId); }
    int32_t SendCommand(const PanelCommand& command) override;
    int WriteBytes(const char* bytes, int32_t count) override;
    void OpenBranchTo() override { branchToOpened_ = true; }

    HeadlessPanel& panel_;
    Output log_;
    Output print_;
    LatchKeys latches_;
    std::string sent_;  // bytes sent by the step being played
    bool branchToOpened_ = false;
    uint64_t overallDeadline_ = 0;
    uint32_t overallMs_ = 0;
};

// The headless panel's link to the control: connected by the panel's own connection step
// (without dialogs), read by the panel's reader thread into a display with no window.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>

#include "display/text_display.h"
#include "link/command_encoder.h"
#include "link/link_session_win.h"
#include "tools/headless/headless_runner.h"

class HeadlessLink final : public HeadlessPanel,
                           private DisplayOwner,
                           private LostControlReporter,
                           private ControlLossListener {
public:
    HeadlessLink();
    ~HeadlessLink();
    HeadlessLink(const HeadlessLink&) = delete;
    HeadlessLink& operator=(const HeadlessLink&) = delete;

    // As the panel connects with this command line (argument 1 "-l", or "-r" and a name).
    // 0, or the text id of the panel's result; *text gets the text the panel shows for it.
    unsigned Connect(int argc, const char* const* argv, std::string* text);
    // "LOCAL - Quorvex; Connected to device 2": the title and the second status pane.
    std::string Connection() const { return title_ + "; " + status_; }
    // Stops the writer and the reader and closes both pipes.
    void Close() { session_.Close(); }

    int32_t QueueCommand(const PanelCommand& command) override;
    int WriteBytes(const char* bytes, int32_t count) override;
    std::string BranchTo(const std::string& text) override;
    ScreenCopy Screen() override;
    PanelState State() override;
    const char* LostControlText() override;
    bool Sending() override;
    void WaitForChange(uint32_t ms) override;
    uint64_t NowMs() override { return GetTickCount64(); }
    void SleepMs(uint32_t ms) override { Sleep(ms); }

private:
    class Platform;

    // DisplayOwner, called on the reader thread.
    void LinesChanged(uint32_t) override { SetEvent(changed_); }
    bool HasDisplayFont() const override { return true; }
    void OnControlExited() override;
    // LostControlReporter: the panel would show its fatal box and close.
    void ReportLostControl() override { NoteLost(); }
    // On the writer thread: the control went with commands waiting.
    void OnControlLost() override { NoteLost(); }
    // Wakes a step that waits, so that it fails at once.
    void NoteLost() {
        lost_ = true;
        SetEvent(changed_);
    }

    std::string LoadText(unsigned textId) const;
    // Notes the ticket of what was just queued (none when it was not).
    void Queued(uint64_t ticket);

    TextDisplay display_;
    HANDLE changed_;  // auto-reset: set by every display change and by the exit
    LinkSession session_;
    std::atomic<bool> exited_{false};
    std::atomic<bool> lost_{false};
    uint64_t lastTicket_ = 0;  // of the last command queued, when any
    bool queued_ = false;
    std::string lostText_;
    std::string title_;
    std::string status_;
};

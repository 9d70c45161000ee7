// The main window: panel picture, display, status bar and the control link, in start-up and
// shut-down order.
#pragma once
#include <windows.h>

#include <atomic>

#include "display/display_geometry.h"
#include "display/panel_painter_win.h"
#include "display/repaint_gate.h"
#include "display/repaint_pacer.h"
#include "display/text_display.h"
#include "keypad/held_presses.h"
#include "keypad/hmi_button_win.h"
#include "keypad/key_bindings.h"
#include "protocol/key_table.h"
#include "link/control_link_win.h"
#include "app/station_win.h"
#include "support/status_bar_win.h"
#include "support/window_win.h"

class DIB;

class Frame : public Window,
              public DisplayOwner,
              public LinkOwner,
              public KeypadPort,
              private HeldPresses::Road,
              private StationWindow {
    QV_DECLARE_RUNTIME_CLASS(Frame)
    QV_DECLARE_MESSAGE_MAP()
public:
    Frame();
    ~Frame() override;

    // Creates the window from resource id 2 with the fixed creation parameters.
    bool CreateMainWindow();
    void ShowAndConnect(int showState);

    // DisplayOwner: called on the reader thread.
    void LinesChanged(uint32_t lines) override;
    bool HasDisplayFont() const override { return hasFont_.load(); }
    void OnControlExited() override;

    // LinkOwner
    HWND OwnerWindow() const override { return hwnd_; }
    EventSink* DisplaySink() override { return &display_; }

    TextDisplay& Display() { return display_; }
    ControlLink* Link() { return link_; }
    StatusBar& Status() { return statusBar_; }
    int ConnectedLocally() const { return connectedLocally_; }
    HFONT DisplayFont() const { return font_; }
    DIB* PanelPicture() const { return panel_; }
    // The display scaling the panel is drawn at, and the display's lines at it.
    int32_t Dpi() const { return dpi_; }
    display_geometry::LineLayout Lines() const;

    // KeypadPort: the keys' pushed looks and latches, and the link's two writes.
    bool ShowsPushed(int32_t keyId) override;
    void ToggleLatch(int32_t keyId) override;
    void ReleaseLatch(int32_t keyId) override;
    int32_t SendCommand(const PanelCommand& command) override;
    int WriteBytes(const char* bytes, int32_t count) override;
    void OpenBranchTo() override;

    HMIButton& Key(int32_t keyId) { return keys_[KeyTable::Index(keyId)]; }
    // A station (-w) without its control: keys, line clicks and Branch To send nothing.
    bool Waiting() const { return station_.Waiting(); }

    void OnLineClick(POINT p);
    void OnLineDoubleClick(POINT p);

protected:
    void OnFinalMessage() override;

private:
    LRESULT OnCreate(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnClose(WPARAM, LPARAM);
    LRESULT OnSetCursor(WPARAM, LPARAM);
    LRESULT OnSetFocus(WPARAM, LPARAM);
    LRESULT OnQueryNewPalette(WPARAM, LPARAM);
    LRESULT OnPaletteChanged(WPARAM, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnArmPacing(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnLinkLost(WPARAM, LPARAM);
    LRESULT OnStationControlGone(WPARAM, LPARAM);
    LRESULT OnStationProbeDone(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnLButtonDblClk(WPARAM, LPARAM);
    LRESULT OnKeyDown(WPARAM, LPARAM);
    LRESULT OnQueryGestures(WPARAM, LPARAM);
    LRESULT OnDpiChanged(WPARAM, LPARAM);
    LRESULT OnKeyCommand(WPARAM, LPARAM);
    LRESULT OnMenuSelect(WPARAM, LPARAM);
    LRESULT OnExitMenuLoop(WPARAM, LPARAM);
    LRESULT OnExitCommand(WPARAM, LPARAM);
    LRESULT OnHelpCommand(WPARAM, LPARAM);
    LRESULT OnAboutCommand(WPARAM, LPARAM);

    int RealisePalette(bool foreground);
    void FitClientToPanel();
    void SetStatusPanes();
    int LayoutDisplay();
    // The font and the panel picture made for the DPI; the old font stays where no new one can be made.
    void LoadScaledArt(int32_t dpi);
    // Everything the window shows drawn at a new DPI, the window fitted to it.
    void ApplyScaling(int32_t dpi);
    void StoreLineScale();
    void ShowIdleStatus();
    // Pane 0 names a control that has taken nothing for a while; the idle text comes back after.
    void ShowBacklog();
    // Commands waiting for a control that has taken nothing for a while, else 0.
    uint32_t StalledCommands() const;
    // The stall text for a count above 0, else the idle text.
    void ShowPaneZero(uint32_t stalledCommands);
    void InvalidateKeptLines(HWND window);
    // StationWindow
    void EnterWaiting(bool accessRefused) override;
    void ShowWaitingPane(bool accessRefused) override;
    void LeaveWaiting() override;
    void InvalidateDisplay();
    // While waiting, input goes nowhere: a beep, and a latch key stays up.
    void RefuseInput(int32_t keyId);
    // HeldPresses::Road
    bool Waits(uint64_t ticket) const override { return link_ && link_->Waits(ticket); }

    StatusBar statusBar_;
    HMIButton keys_[KeyTable::Count];
    HeldPresses presses_;
    int connectedLocally_ = 0;
    uint32_t backlogShown_ = 0;  // the waiting commands pane 0 names, 0 when it names none
    bool menuPrompt_ = false;
    // The window as the reader thread sees it: set once it exists, cleared when it starts to go
    // (the framework's own handle is cleared only after it is gone, and without synchronisation).
    std::atomic<HWND> readerWindow_{nullptr};
    ControlLink* link_ = nullptr;
    HFONT font_ = nullptr;
    std::atomic<bool> hasFont_{false};
    DIB* panel_ = nullptr;
    int32_t dpi_ = dpi::Base;
    // The DPI (high half) and the display line's height (low half; 0 without a font, and no line
    // then) in one word: the reader thread invalidates lines while a DPI change may move them.
    std::atomic<uint32_t> lineScale_{0};
    TextDisplay display_;
    RepaintGate repaintGate_;
    RepaintPacer repaintPacer_;
    panel_painter::PaintSurface paintSurface_;
    Station station_{*this};
    // What the display shows while the station waits, instead of the (blank) display.
    char waitingLines_[screen::Lines][screen::Columns + 1] = {};
};

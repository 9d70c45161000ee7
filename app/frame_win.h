// The main window: panel picture, display, status bar and the control link, in start-up and
// shut-down order.
#pragma once
#include <windows.h>

#include "display/text_display.h"
#include "link/control_link_win.h"
#include "support/status_bar_win.h"
#include "support/window_win.h"

class DIB;

class Frame : public Window, public DisplayOwner, public LinkOwner {
    QV_DECLARE_RUNTIME_CLASS(Frame)
    QV_DECLARE_MESSAGE_MAP()
public:
    static constexpr int PanelWidth = 630;
    static constexpr int PanelHeight = 384;

    Frame();
    ~Frame() override;

    // Creates the window from resource id 2 with the fixed creation parameters.
    bool CreateMainWindow();
    void ShowAndConnect(int showState);

    // DisplayOwner: called on the reader thread.
    void RepaintLine(const LineRect& r) override;
    bool HasDisplayFont() const override { return font_ != nullptr; }
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

    void OnLineClick(POINT p);
    void OnLineDoubleClick(POINT p);
    void OpenBranchTo();

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
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnLButtonDblClk(WPARAM, LPARAM);
    LRESULT OnMenuSelect(WPARAM, LPARAM);
    LRESULT OnExitMenuLoop(WPARAM, LPARAM);
    LRESULT OnExitCommand(WPARAM, LPARAM);
    LRESULT OnHelpCommand(WPARAM, LPARAM);
    LRESULT OnAboutCommand(WPARAM, LPARAM);

    int RealisePalette(bool foreground);
    void FitClientToPanel();
    int LayoutDisplay();
    void ShowIdleStatus();

    StatusBar statusBar_;
    int connectedLocally_ = 0;
    ControlLink* link_ = nullptr;
    HFONT font_ = nullptr;
    DIB* panel_ = nullptr;
    TextDisplay display_;
};

// The main window: construction and teardown order, creation, connection, palette, cursor,
// focus, menu commands, painting, line clicks and the control's exit.
#include "app/frame_win.h"

#include <cstdio>
#include <new>

#include "display/branch_to_dialog_win.h"
#include "display/display_font_win.h"
#include "display/display_geometry.h"
#include "display/panel_painter_win.h"
#include "display/waiting_screen.h"
#include "keypad/keypad_win.h"
#include "link/command_encoder.h"
#include "protocol/panel.h"
#include "protocol/panel_command.h"
#include "res/resource_ids.h"
#include "support/about_dialog_win.h"
#include "support/app_services_win.h"
#include "support/busy_cursor_win.h"
#include "support/dialog_win.h"
#include "support/dib_win.h"
#include "support/dpi_win.h"
#include "support/text_ids.h"
#include "support/touch_win.h"

QV_IMPLEMENT_RUNTIME_CLASS(Frame, Window::classWindow)

namespace {
constexpr char kWindowClass[] = "QuorvexFrame";
constexpr DWORD kStyle = WS_BORDER | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = WS_EX_CLIENTEDGE;
constexpr char kOnePaneBlank[] = " ";
// The reader thread asks the window to start the paint pacer's timer.
constexpr UINT kArmPacing = WM_APP + 1;
constexpr UINT_PTR kPacingTimer = 1;
constexpr UINT_PTR kBacklogTimer = 2;
constexpr UINT kBacklogCheckMs = 250;
// A control that has taken nothing for longer than this while commands wait is named.
constexpr uint64_t kStallMs = 1000;

bool RegisterFrameClass() {
    if (Window::IsClassRegistered(kWindowClass)) return true;
    WNDCLASSEXA wc = {};
    wc.style = CS_DBLCLKS;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = LoadIconA(wc.hInstance, MAKEINTRESOURCEA(IDR_MAINFRAME));
    wc.hIconSm = static_cast<HICON>(LoadImageA(wc.hInstance, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 16, 16, 0));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    return Window::RegisterClass(wc);
}

// Never with an erase: the paint covers every pixel of the lines. One request per run of
// adjacent lines: each is a call to the Wine server, which a flooding control keeps busy (19
// lines asked one by one held the paint back by over a millisecond).
void InvalidateLines(HWND window, uint32_t lines, const display_geometry::LineLayout& layout) {
    for (int first = 0; first < display_geometry::Lines; ++first) {
        if (!(lines & (1u << first))) continue;
        int last = first;
        while (last + 1 < display_geometry::Lines && (lines & (1u << (last + 1)))) ++last;
        const LineRect r = display_geometry::LinesRectFor(first, last, layout);
        const RECT rect = {r.left, r.top, r.right, r.bottom};
        InvalidateRect(window, &rect, FALSE);
        first = last;
    }
}

// Forwards a palette change to every descendant at every depth.
BOOL CALLBACK ForwardPaletteChanged(HWND child, LPARAM lParam) {
    SendMessageA(child, WM_PALETTECHANGED, static_cast<WPARAM>(lParam), 0);
    return TRUE;
}
}  // namespace

QV_BEGIN_MESSAGE_MAP(Frame, Window)
QV_ON_MESSAGE(Frame, WM_CREATE, OnCreate)
QV_ON_MESSAGE(Frame, WM_DESTROY, OnDestroy)
QV_ON_MESSAGE(Frame, WM_CLOSE, OnClose)
QV_ON_MESSAGE(Frame, WM_SETCURSOR, OnSetCursor)
QV_ON_MESSAGE(Frame, WM_SETFOCUS, OnSetFocus)
QV_ON_MESSAGE(Frame, WM_QUERYNEWPALETTE, OnQueryNewPalette)
QV_ON_MESSAGE(Frame, WM_PALETTECHANGED, OnPaletteChanged)
QV_ON_MESSAGE(Frame, WM_PAINT, OnPaint)
QV_ON_MESSAGE(Frame, kArmPacing, OnArmPacing)
QV_ON_MESSAGE(Frame, WM_TIMER, OnTimer)
QV_ON_MESSAGE(Frame, ControlLink::LostMessage, OnLinkLost)
QV_ON_MESSAGE(Frame, Station::ControlGoneMessage, OnStationControlGone)
QV_ON_MESSAGE(Frame, Station::ProbeDoneMessage, OnStationProbeDone)
QV_ON_MESSAGE(Frame, WM_LBUTTONDOWN, OnLButtonDown)
QV_ON_MESSAGE(Frame, WM_LBUTTONDBLCLK, OnLButtonDblClk)
QV_ON_MESSAGE(Frame, WM_KEYDOWN, OnKeyDown)
QV_ON_MESSAGE(Frame, touch::QuerySystemGestureStatus, OnQueryGestures)
QV_ON_MESSAGE(Frame, dpi_win::DpiChanged, OnDpiChanged)
QV_ON_COMMAND_RANGE(Frame, KeyTable::FirstId, KeyTable::LastId, BN_CLICKED, OnKeyCommand)
QV_ON_COMMAND_RANGE(Frame, KeyTable::FirstId, KeyTable::LastId, BN_DOUBLECLICKED, OnKeyCommand)
QV_ON_MESSAGE(Frame, WM_MENUSELECT, OnMenuSelect)
QV_ON_MESSAGE(Frame, WM_EXITMENULOOP, OnExitMenuLoop)
QV_ON_COMMAND(Frame, ID_APP_EXIT, OnExitCommand)
QV_ON_COMMAND(Frame, ID_HELP_FINDER, OnHelpCommand)
QV_ON_COMMAND(Frame, ID_APP_ABOUT, OnAboutCommand)
QV_END_MESSAGE_MAP()

Frame::Frame() {
    g_appServices = new (std::nothrow) AppServices(this, &statusBar_);
    if (!g_appServices) return;
    g_busyCursor = new (std::nothrow) BusyCursor();
    if (g_busyCursor && !g_busyCursor->Loaded()) {
        delete g_busyCursor;
        g_busyCursor = nullptr;
    }
    if (!g_busyCursor) {
        g_appServices->ShowError(nullptr, text_id::InsufficientMemory, text_id::ObjectFrame);
    }
    connectedLocally_ = 0;
    link_ = new (std::nothrow) ControlLink(this);
    panel_ = new (std::nothrow) DIB();
    dpi_ = dpi::Usable(dpi_win::ForScreen());
    LoadScaledArt(dpi_);
    display_.SetOwner(this);
    display_.SetCursor(0, 0);
}

Frame::~Frame() {
    if (link_) {
        link_->Close();
        delete link_;
        link_ = nullptr;
    }
    display_.SetOwner(nullptr);
    delete g_appServices;
    g_appServices = nullptr;
    delete g_busyCursor;
    g_busyCursor = nullptr;
    if (font_) {
        DeleteObject(font_);
        font_ = nullptr;
    }
    delete panel_;
    panel_ = nullptr;
    for (HMIButton& key : keys_) key.Destroy();
    statusBar_.Destroy();
}

void Frame::LoadScaledArt(int32_t dpi) {
    if (HFONT font = display_font::Create(g_appServices->LoadText(text_id::DisplayFontFace), dpi)) {
        if (font_) DeleteObject(font_);
        font_ = font;
        hasFont_.store(true);
    }
    if (panel_) panel_->LoadFromResource(GetModuleHandleA(nullptr), dpi_win::PictureId(panel::BitmapId, dpi));
}

void Frame::StoreLineScale() {
    lineScale_.store(static_cast<uint32_t>(dpi_) << 16 | static_cast<uint32_t>(display_font::LineHeight(font_)));
}

display_geometry::LineLayout Frame::Lines() const {
    const uint32_t scale = lineScale_.load();
    return display_geometry::LayoutAt(static_cast<int32_t>(scale >> 16), static_cast<int32_t>(scale & 0xFFFF));
}

bool Frame::CreateMainWindow() {
    if (!RegisterFrameClass()) return false;
    // A first guess: the window is fitted to the panel once it exists.
    const int width = dpi::Scaled(632, dpi_) + 2 * GetSystemMetrics(SM_CXFRAME);
    const int height = dpi::Scaled(389, dpi_) + 3 * GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    char title[64] = "Quorvex";
    LoadStringA(instance, text_id::AppTitle, title, sizeof(title));
    HMENU menu = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME));
    return CreateEx(kExStyle, kWindowClass, title, kStyle, 0, 0, width, height, nullptr, menu);
}

LRESULT Frame::OnCreate(WPARAM, LPARAM) {
    if (Default() == -1) return -1;
    readerWindow_.store(hwnd_);
    touch::OptOut(hwnd_);
    // The window may open on a monitor of another scaling than the screen's first one.
    const int32_t shownAt = dpi::Usable(dpi_win::ForWindow(hwnd_));
    if (shownAt != dpi_) {
        dpi_ = shownAt;
        LoadScaledArt(dpi_);
    }
    if (statusBar_.Create(hwnd_, IDC_STATUS_BAR, dpi::Usable(dpi_win::ForScreen()))) {
        statusBar_.SetDpi(dpi_);
        FitClientToPanel();
        SetStatusPanes();
        ShowIdleStatus();
        statusBar_.SetPaneText(1, kOnePaneBlank);
        statusBar_.SetPaneText(2, kOnePaneBlank);
    }
    keypad::CreateKeys(keys_, hwnd_, dpi_);
    LayoutDisplay();
    return 0;
}

void Frame::SetStatusPanes() {
    char line[64] = "Line 9999999";
    char widest[128] = "Unable to create necessary object.";
    HINSTANCE instance = GetModuleHandleA(nullptr);
    LoadStringA(instance, text_id::PaneSizeLine, line, sizeof(line));
    LoadStringA(instance, text_id::CannotCreateObject, widest, sizeof(widest));
    // A station's own texts in pane 2 are shown whole too.
    if (station_.Active()) {
        for (unsigned id : {text_id::StationWaitingPane, text_id::StationRefusedPane}) {
            char text[128] = "";
            LoadStringA(instance, id, text, sizeof(text));
            if (statusBar_.PaneWidthFor(text) > statusBar_.PaneWidthFor(widest)) lstrcpynA(widest, text, sizeof(widest));
        }
    }
    const char* samples[3] = {"", line, widest};
    statusBar_.SetPanes(samples, 3);
}

LRESULT Frame::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    // The suggested rectangle keeps the window where the operator dropped it; its size is then
    // made exact for the panel at the new scaling.
    if (const RECT* suggested = reinterpret_cast<const RECT*>(lParam))
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyScaling(dpi::Usable(LOWORD(wParam)));
    return 0;
}

void Frame::ApplyScaling(int32_t dpi) {
    dpi_ = dpi;
    LoadScaledArt(dpi);
    paintSurface_.ForgetPicture();
    keypad::ScaleKeys(keys_, dpi);
    statusBar_.SetDpi(dpi);
    FitClientToPanel();
    SetStatusPanes();
    // Only the lines' places change: the text they hold stays.
    StoreLineScale();
    RealisePalette(true);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void Frame::FitClientToPanel() {
    RECT want = {0, 0, display_geometry::PanelWidthAt(dpi_),
                 display_geometry::PanelHeightAt(dpi_) + statusBar_.Height()};
    RECT client;
    GetClientRect(hwnd_, &client);
    RECT window;
    GetWindowRect(hwnd_, &window);
    // Measured rather than computed, so that a menu bar or frame metrics of any size are covered.
    const int dw = (want.right - want.left) - (client.right - client.left);
    const int dh = (want.bottom - want.top) - (client.bottom - client.top);
    if (dw != 0 || dh != 0)
        SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left + dw, window.bottom - window.top + dh,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(statusBar_.Handle(), WM_SIZE, 0, 0);
}

int Frame::LayoutDisplay() {
    char first[64] = "";
    char second[64] = "";
    LoadStringA(GetModuleHandleA(nullptr), text_id::StationNoControl, first, sizeof(first));
    LoadStringA(GetModuleHandleA(nullptr), text_id::StationWaitingLine, second, sizeof(second));
    waiting_screen::Compose(first, second, waitingLines_);
    if (!font_) return 1;
    StoreLineScale();
    display_.BlankAll();
    return 0;
}

void Frame::ShowAndConnect(int showState) {
    // Outside any handler: a close handled inside one of the modal loops below (a dialog, a fatal
    // box) must not delete this frame under them; then nothing more is shown or sent.
    Hold hold;
    // Before the reader starts: its exit handling asks whether this is a station.
    if (link_ && link_->StationRequested()) {
        station_.Enable(hwnd_, link_, &connectedLocally_);
        SetStatusPanes();
    }
    ShowWindow(hwnd_, showState);
    UpdateWindow(hwnd_);
    // The reader reads the flag from its first event on: Connect sets it before starting it.
    const unsigned result = link_ ? link_->Connect(&connectedLocally_) : text_id::CannotCreateObject;
    if (!Exists()) return;
    if (result != 0 && !station_.TakeOverStartFailure(result)) {
        if (g_appServices) g_appServices->ShowFatalError(hwnd_, result, text_id::ObjectFrame);
        return;
    }
    // The link queued the greeting itself before its reader started.
    SetTimer(hwnd_, kBacklogTimer, kBacklogCheckMs, nullptr);
}

void Frame::LinesChanged(uint32_t lines) {
    // A handle read just before the window went only makes this call fail; a null one would
    // invalidate the whole desktop.
    const HWND window = readerWindow_.load();
    if (!window) return;
    // A line already waiting for its paint shows this change too when that paint comes.
    const uint32_t asked = repaintGate_.Request(lines);
    if (!asked) return;
    switch (repaintPacer_.Request(asked, GetTickCount64())) {
        case RepaintPacer::Ask::Now:
            InvalidateLines(window, asked, Lines());
            return;
        case RepaintPacer::Ask::LaterAndArm:
            // A full queue must not leave the kept lines unpainted.
            if (!PostMessageA(window, kArmPacing, 0, 0)) InvalidateKeptLines(window);
            return;
        case RepaintPacer::Ask::Later:
            return;
    }
}

void Frame::InvalidateKeptLines(HWND window) { InvalidateLines(window, repaintPacer_.TakeKept(), Lines()); }

LRESULT Frame::OnArmPacing(WPARAM, LPARAM) {
    if (!SetTimer(hwnd_, kPacingTimer, repaintPacer_.ArmDelayMs(GetTickCount64()), nullptr)) InvalidateKeptLines(hwnd_);
    return 0;
}

LRESULT Frame::OnTimer(WPARAM wParam, LPARAM) {
    if (wParam == kBacklogTimer) {
        ShowBacklog();
        return 0;
    }
    if (wParam == Station::TimerId) {
        station_.OnTimer();
        return 0;
    }
    if (wParam != kPacingTimer) return Default();
    KillTimer(hwnd_, kPacingTimer);
    InvalidateKeptLines(hwnd_);
    return 0;
}

void Frame::OnControlExited() {
    // Runs on the reader thread while the window thread may be closing: after the notice
    // only these copies are used, never this object.
    const HWND window = readerWindow_.load();
    if (!window) return;  // already closing
    // A station waits for the control instead of closing; the window thread does it, unwaited.
    if (station_.Active()) {
        PostMessageA(window, Station::ControlGoneMessage, 0, 0);
        return;
    }
    // The notice is made whole first: once the wait is declared, a close may delete the services.
    ReadyReport notice;
    if (!connectedLocally_ && g_appServices)
        g_appServices->PrepareNotice(window, text_id::ControlExitedNotice, notice);
    if (!ControlLink::BeginWaitOnWindow()) return;
    notice.Show();
    SendMessageA(window, WM_CLOSE, 0, 0);
}

LRESULT Frame::OnClose(WPARAM, LPARAM) {
    // A modal dialog of ours must end without sending anything before its owner goes.
    Dialog::CancelAllModal();
    DestroyWindow(hwnd_);
    return 0;
}

LRESULT Frame::OnDestroy(WPARAM, LPARAM) {
    station_.Stop();
    readerWindow_.store(nullptr);
    touch::Forget(hwnd_);
    PostQuitMessage(0);
    return Default();
}

void Frame::OnFinalMessage() { delete this; }

LRESULT Frame::OnSetCursor(WPARAM, LPARAM) {
    if (g_busyCursor && g_busyCursor->ApplyCursor()) return TRUE;
    return Default();
}

int Frame::RealisePalette(bool foreground) {
    HPALETTE palette = panel_ ? panel_->GetPalette() : nullptr;
    if (!palette) return 0;
    HDC dc = GetDC(hwnd_);
    HPALETTE old = SelectPalette(dc, palette, foreground ? FALSE : TRUE);
    const int changed = static_cast<int>(RealizePalette(dc));
    SelectPalette(dc, old, TRUE);
    ReleaseDC(hwnd_, dc);
    if (changed > 0) {
        paintSurface_.ForgetPicture();
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
    return changed;
}

LRESULT Frame::OnSetFocus(WPARAM, LPARAM) {
    const LRESULT r = Default();
    SetForegroundWindow(hwnd_);
    RealisePalette(true);
    return r;
}

LRESULT Frame::OnQueryNewPalette(WPARAM, LPARAM) {
    RealisePalette(true);
    return TRUE;
}

LRESULT Frame::OnPaletteChanged(WPARAM wParam, LPARAM) {
    if (reinterpret_cast<HWND>(wParam) == hwnd_) return 0;
    if (RealisePalette(false) == 0) EnumChildWindows(hwnd_, &ForwardPaletteChanged, static_cast<LPARAM>(wParam));
    return 0;
}

LRESULT Frame::OnPaint(WPARAM, LPARAM) {
    // Lines kept for the pacing timer join the paint that comes anyway: kept until the timer,
    // a line changed just before a paint would wait a whole spacing more.
    if (repaintPacer_.HasKept()) {
        KillTimer(hwnd_, kPacingTimer);
        InvalidateKeptLines(hwnd_);
    }
    repaintPacer_.Painted(GetTickCount64());
    panel_painter::Paint(hwnd_, panel_, font_, dpi_, Lines(), display_, repaintGate_, paintSurface_,
                         Waiting() ? waitingLines_ : nullptr);
    return 0;
}

void Frame::OnLineClick(POINT p) {
    const int32_t line = display_geometry::LineAt(p.x, p.y, Lines());
    if (line >= 0 && Waiting()) {
        // The operator's answer to a refused access; any other click goes nowhere.
        if (!station_.OnDisplayClick()) RefuseInput(0);
        return;
    }
    if (line >= 0 && link_) link_->QueueCommand({panel_command::SelectLine, line, 0});
}

void Frame::OnLineDoubleClick(POINT p) {
    if (display_geometry::LineAt(p.x, p.y, Lines()) >= 0) OpenBranchTo();
}

void Frame::OpenBranchTo() {
    if (Waiting()) {
        RefuseInput(0);
        return;
    }
    BranchToDialog dialog(hwnd_);
    const INT_PTR result = dialog.DoModal();
    // The window may have closed under the dialog (the control's exit): then nothing is sent.
    if (result != IDOK || !Exists() || !link_ || Waiting()) return;
    char command[BranchCommandSize];
    const int n = EncodeBranchCommand(dialog.Text(), command);
    if (n > 0) link_->WriteBytes(command, n);
}

LRESULT Frame::OnLButtonDown(WPARAM, LPARAM lParam) {
    OnLineClick({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    return Exists() ? Default() : 0;
}

LRESULT Frame::OnLButtonDblClk(WPARAM, LPARAM lParam) {
    OnLineDoubleClick({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    return Exists() ? Default() : 0;
}

LRESULT Frame::OnLinkLost(WPARAM, LPARAM) {
    // A station waits for the control instead of the fatal box.
    if (station_.Active()) {
        station_.ControlGone();
        return 0;
    }
    if (link_) link_->ReportLoss();
    return 0;
}

LRESULT Frame::OnStationControlGone(WPARAM, LPARAM) {
    station_.ControlGone();
    return 0;
}

LRESULT Frame::OnStationProbeDone(WPARAM, LPARAM lParam) {
    station_.OnProbeDone(lParam);
    return 0;
}

void Frame::EnterWaiting(bool accessRefused) {
    // A dialog open when the control went ends without sending anything, as at a close.
    Dialog::CancelAllModal();
    // What still waits for the old control is dropped with its session.
    if (link_) link_->Close();
    display_.BlankAll();
    display_.SetCursor(0, 0);
    // The latches are the control's speed: up, as at start-up.
    for (HMIButton& key : keys_)
        if (key.Mode() == KeyTable::Latch) key.ReleaseLatch();
    ShowWaitingPane(accessRefused);
    InvalidateDisplay();
}

void Frame::LeaveWaiting() {
    // The display is blank until the control writes; the link showed the device in pane 2 and
    // queued the greeting before its reader started.
    InvalidateDisplay();
}

void Frame::ShowWaitingPane(bool accessRefused) {
    char text[128] = "";
    LoadStringA(GetModuleHandleA(nullptr), accessRefused ? text_id::StationRefusedPane : text_id::StationWaitingPane,
                text, sizeof(text));
    statusBar_.SetPaneText(2, text);
}

void Frame::InvalidateDisplay() {
    const display_geometry::LineLayout layout = Lines();
    const LineRect r = display_geometry::LinesRectFor(0, display_geometry::Lines - 1, layout);
    const RECT rect = {r.left, r.top, r.right, r.bottom};
    InvalidateRect(hwnd_, &rect, FALSE);
}

void Frame::RefuseInput(int32_t keyId) {
    if (KeyTable::IsKey(keyId) && Key(keyId).Mode() == KeyTable::Latch) Key(keyId).ReleaseLatch();
    MessageBeep(MB_OK);
}

void Frame::ShowIdleStatus() {
    menuPrompt_ = false;
    backlogShown_ = StalledCommands();
    ShowPaneZero(backlogShown_);
}

void Frame::ShowBacklog() {
    if (menuPrompt_) return;
    const uint32_t waiting = StalledCommands();
    if (waiting == backlogShown_) return;
    backlogShown_ = waiting;
    ShowPaneZero(waiting);
}

uint32_t Frame::StalledCommands() const {
    if (!link_) return 0;
    const OutboundQueue::Backlog backlog = link_->Backlog();
    return backlog.idleMs > kStallMs ? backlog.commands : 0;
}

void Frame::ShowPaneZero(uint32_t stalledCommands) {
    char format[128] = "";
    char text[160] = "";
    const unsigned id = stalledCommands ? text_id::ControlNotReading : text_id::IdleStatus;
    LoadStringA(GetModuleHandleA(nullptr), id, format, sizeof(format));
    snprintf(text, sizeof text, format, static_cast<int>(stalledCommands));
    statusBar_.SetPaneText(0, text);
}

bool Frame::ShowsPushed(int32_t keyId) { return (Key(keyId).GetState() & BST_PUSHED) != 0; }
void Frame::ToggleLatch(int32_t keyId) { Key(keyId).ToggleLatch(); }
void Frame::ReleaseLatch(int32_t keyId) { Key(keyId).ReleaseLatch(); }
int32_t Frame::SendCommand(const PanelCommand& command) {
    if (!link_ || Waiting()) return 0;
    uint64_t ticket = HeldPresses::NoTicket;
    const int32_t result = link_->QueueCommand(command, &ticket);
    presses_.Made(ticket);
    return result;
}

int Frame::WriteBytes(const char* bytes, int32_t count) {
    if (!link_ || Waiting()) return 0;
    uint64_t ticket = HeldPresses::NoTicket;
    const int result = link_->WriteBytes(bytes, count, &ticket);
    presses_.Made(ticket);
    return result;
}

LRESULT Frame::OnKeyCommand(WPARAM wParam, LPARAM) {
    const int32_t id = LOWORD(wParam);
    if (Waiting()) {
        RefuseInput(id);
        return 0;
    }
    const uint32_t press = KeyTable::IsKey(id) ? Key(id).HeldPress() : 0;
    if (!presses_.AdmitClick(id, press, *this)) return 0;
    PerformKeyAction(ActionForKey(id), *this);
    presses_.Done();
    return 0;
}

LRESULT Frame::OnKeyDown(WPARAM wParam, LPARAM lParam) {
    // Bit 30: the key was down already, so this key-down is an auto-repeat.
    const bool repeat = (static_cast<uint32_t>(lParam) & 0x40000000u) != 0;
    if (Waiting()) {
        // A bound key beeps once per press, not with every repeat.
        if (!repeat && ActionForVirtualKey(static_cast<uint32_t>(wParam)).kind != KeyActionKind::None) RefuseInput(0);
        return Default();
    }
    if (presses_.AdmitKeyDown(static_cast<uint32_t>(wParam), repeat, *this)) {
        PerformKeyAction(ActionForKeyDown(static_cast<uint32_t>(wParam), repeat), *this);
        presses_.Done();
    }
    // An action may have closed the window (a lost control's fatal box).
    return Exists() ? Default() : 0;
}

LRESULT Frame::OnQueryGestures(WPARAM, LPARAM) { return touch::DisabledGestures; }

LRESULT Frame::OnMenuSelect(WPARAM wParam, LPARAM lParam) {
    const UINT item = LOWORD(wParam);
    const UINT flags = HIWORD(wParam);
    // A closed menu, a menu title or a separator: no item is highlighted.
    const bool itemHighlighted = !(flags == 0xFFFF && lParam == 0) && !(flags & (MF_POPUP | MF_SEPARATOR));
    if (!itemHighlighted) {
        ShowIdleStatus();
        return 0;
    }
    menuPrompt_ = true;
    char prompt[256] = "";
    LoadStringA(GetModuleHandleA(nullptr), item, prompt, sizeof(prompt));
    statusBar_.SetPaneText(0, prompt);
    return 0;
}

LRESULT Frame::OnExitMenuLoop(WPARAM, LPARAM) {
    ShowIdleStatus();
    return 0;
}

LRESULT Frame::OnExitCommand(WPARAM, LPARAM) {
    SendMessageA(hwnd_, WM_CLOSE, 0, 0);
    return 0;
}

LRESULT Frame::OnHelpCommand(WPARAM, LPARAM) {
    if (g_appServices) g_appServices->ShowHelp(0);
    return 0;
}

LRESULT Frame::OnAboutCommand(WPARAM, LPARAM) {
    AboutDialog about(hwnd_);
    about.Run(connectedLocally_ != 0);
    return 0;
}

// The panel key control: press, release, repeat and focus handling over the base button, and
// the choice of bitmap for each owner-draw request.
#include "keypad/hmi_button_win.h"

#include "protocol/key_table.h"
#include "support/touch_win.h"

QV_IMPLEMENT_RUNTIME_CLASS(HMIButton, CButton::classCButton)

namespace {
constexpr char kClassName[] = "HMIButton";
constexpr UINT_PTR kRepeatTimerId = 1;
constexpr UINT kRepeatMs = 300;

bool LoadOne(DIB& dib, UINT id) {
    return id != 0 && dib.LoadFromResource(GetModuleHandleA(nullptr), id);
}
}  // namespace

QV_BEGIN_MESSAGE_MAP(HMIButton, CButton)
QV_ON_MESSAGE(HMIButton, WM_LBUTTONDOWN, OnLButtonDown)
QV_ON_MESSAGE(HMIButton, WM_LBUTTONUP, OnLButtonUp)
QV_ON_MESSAGE(HMIButton, WM_TIMER, OnTimer)
QV_ON_MESSAGE(HMIButton, WM_KILLFOCUS, OnKillFocus)
QV_ON_MESSAGE(HMIButton, WM_MOUSEMOVE, OnMouseMove)
QV_ON_MESSAGE(HMIButton, touch::QuerySystemGestureStatus, OnQueryGestures)
QV_ON_MESSAGE(HMIButton, WM_DESTROY, OnDestroy)
QV_END_MESSAGE_MAP()

bool HMIButton::Create(uint32_t mode, DWORD style, const RECT& rect, HWND parent, UINT id) {
    // Without double clicks a quick second click arrives as a second press and release.
    RegisterDerivedClass(kClassName, CS_DBLCLKS);
    if (mode <= KeyTable::Latch) mode_ = mode;
    if (!CButton::Create(kClassName, style, rect, parent, id)) return false;
    touch::OptOut(hwnd_);
    return true;
}

int HMIButton::LoadBitmaps(UINT normalId, UINT pressedId, UINT focusId, UINT disabledId) {
    normal_.Release();
    pressed_.Release();
    focus_.Release();
    disabled_.Release();
    if (normalId == 0) return 1;
    if (!LoadOne(normal_, normalId)) return 0;
    const bool pressed = LoadOne(pressed_, pressedId);
    const bool focus = LoadOne(focus_, focusId);
    const bool disabled = LoadOne(disabled_, disabledId);
    return pressed && focus && disabled ? 1 : 0;
}

void HMIButton::ToggleLatch() {
    latched_ = latched_ ? 0 : 1;
    SetState(latched_ != 0);
}

void HMIButton::ReleaseLatch() {
    latched_ = 0;
    SetState(false);
}

void HMIButton::Destroy() {
    disabled_.Release();
    focus_.Release();
    pressed_.Release();
    normal_.Release();
    Window::Destroy();
}

void HMIButton::DrawItem(const DRAWITEMSTRUCT& item) {
    DIB* chosen = &normal_;
    if ((item.itemState & ODS_SELECTED) && pressed_.Handle())
        chosen = &pressed_;
    else if ((item.itemState & ODS_FOCUS) && focus_.Handle())
        chosen = &focus_;
    else if ((item.itemState & ODS_DISABLED) && disabled_.Handle())
        chosen = &disabled_;
    // A scaling without pictures of its own stretches those of the set nearest above.
    if (chosen->Handle())
        chosen->DrawFitted(item.hDC, item.rcItem.right - item.rcItem.left, item.rcItem.bottom - item.rcItem.top);
}

LRESULT HMIButton::OnLButtonDown(WPARAM, LPARAM) {
    if (mode_ == KeyTable::AutoRepeat) repeatTimer_ = SetTimer(hwnd_, kRepeatTimerId, kRepeatMs, nullptr);
    if (++presses_ == 0) presses_ = 1;
    heldPress_ = presses_;
    return Default();
}

LRESULT HMIButton::OnLButtonUp(WPARAM, LPARAM lParam) {
    if (mode_ == KeyTable::AutoRepeat) {
        KillTimer(hwnd_, repeatTimer_);
    } else if (mode_ == KeyTable::Latch && heldPress_ != 0) {
        RECT window;
        GetWindowRect(hwnd_, &window);
        POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ClientToScreen(hwnd_, &at);
        if (PtInRect(&window, at)) {
            latched_ = latched_ ? 0 : 1;
            SetState(latched_ != 0);
        }
    }
    // Still held during the base processing: its release click belongs to the press.
    const LRESULT result = Default();
    heldPress_ = 0;
    ReturnFocus();
    return result;
}

LRESULT HMIButton::OnTimer(WPARAM, LPARAM) {
    if (ShowsPushed())
        SendMessageA(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), BN_CLICKED),
                     reinterpret_cast<LPARAM>(hwnd_));
    // The click's handler may have closed the window (a modal box); then there is nothing left.
    return hwnd_ ? Default() : 0;
}

LRESULT HMIButton::OnKillFocus(WPARAM, LPARAM) {
    if (mode_ != KeyTable::Latch) return Default();
    SetState(latched_ != 0);
    return 0;
}

void HMIButton::ReturnFocus() {
    // The click may have closed the window under us (the key is then detached).
    if (hwnd_) SetFocus(GetParent(hwnd_));
}

LRESULT HMIButton::OnMouseMove(WPARAM, LPARAM) {
    const LRESULT result = Default();
    // The base asks for hover tracking with a 1 ms hover time; under Wine that polls the pointer
    // at every timer tick for as long as it rests on the key (a quarter of a second of CPU every
    // 10 s). A key has no hover look: only the leave is tracked, at the system's hover time.
    TRACKMOUSEEVENT leave = {sizeof leave, TME_LEAVE, hwnd_, HOVER_DEFAULT};
    TrackMouseEvent(&leave);
    return result;
}

LRESULT HMIButton::OnQueryGestures(WPARAM, LPARAM) { return touch::DisabledGestures; }

LRESULT HMIButton::OnDestroy(WPARAM, LPARAM) {
    touch::Forget(hwnd_);
    return Default();
}

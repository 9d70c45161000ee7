// BusyCursor on Win32: sets the system hourglass or arrow and nudges the pointer so that the
// window under it is asked for its cursor again at once.
#include "support/busy_cursor_win.h"

BusyCursor* g_busyCursor = nullptr;

BusyCursor::BusyCursor() : hourglass_(LoadCursorA(nullptr, IDC_WAIT)) {}

bool BusyCursor::Loaded() const { return hourglass_ != nullptr; }

void BusyCursor::SetBusy(bool busy) {
    const BusyCount::Change change = busy ? count_.Enter() : count_.Leave();
    if (change == BusyCount::Change::Hourglass) SetCursor(hourglass_);
    if (change == BusyCount::Change::Arrow) SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    // Setting the pointer where it is makes the system send a fresh WM_SETCURSOR.
    POINT at;
    if (GetCursorPos(&at)) SetCursorPos(at.x, at.y);
}

bool BusyCursor::ApplyCursor() {
    if (!count_.Busy() || !hourglass_) return false;
    SetCursor(hourglass_);
    return true;
}

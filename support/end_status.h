// The panel's exit status, so that a launcher or an IT script can tell a panel that never
// connected or lost its control from one that was closed.
#pragma once

namespace end_status {
// File Exit, the close box, Alt+F4, and the control's exit notice.
constexpr int Closed = 0;
// A fatal box ended it: no control found, no selection made, access denied, the control lost.
constexpr int Fatal = 1;
// No main window could be made; nothing was shown.
constexpr int NoWindow = 2;

// The first end that is not Closed is the one the process reports; any thread may mark it.
void Mark(int status);
int Current();
}  // namespace end_status

// One tap session: the control's pipes opened, the panel's offered, both directions forwarded
// and recorded until either side is lost or Ctrl+C; returns the exit status.
#pragma once
#include "tools/tap/tap_options.h"

int RunTap(const TapOptions& options);

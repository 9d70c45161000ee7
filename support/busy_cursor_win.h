// The hourglass shown while the program is busy with a blocking operation (nesting count).
#pragma once
#include <windows.h>

#include "support/busy_count.h"

class BusyCursor {
public:
    BusyCursor();
    bool Loaded() const;
    void SetBusy(bool busy);
    // True when the hourglass was set (the cursor message is then handled).
    bool ApplyCursor();

private:
    BusyCount count_;
    HCURSOR hourglass_ = nullptr;
};

// Null outside the main window's lifetime.
extern BusyCursor* g_busyCursor;

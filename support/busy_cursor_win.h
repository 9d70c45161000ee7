// The hourglass shown while the program is busy with a blocking operation (nesting count).
#pragma once
#include <windows.h>

class BusyCursor {
public:
    BusyCursor();
    bool Loaded() const;
    void SetBusy(bool busy);
    // True when the hourglass was set (the cursor message is then handled).
    bool ApplyCursor();
};

// Null outside the main window's lifetime.
extern BusyCursor* g_busyCursor;

// The simulator's screens as a panel shows them, for tests that must not see the simulator's
// headers next to the keypad's (both name an AdjustSpeed).
#pragma once
#include <string>
#include <vector>

#include "protocol/screen.h"

struct ShownScreen {
    std::string what;       // the screen and the key that led there
    std::string lines[screen::Lines];  // screen::Columns characters each
    int row = 0;
    int column = 0;
};

// Every screen of the simulator reached by Branch To, then after each key it answers, with the
// live values ticking, decoded by the panel's own decoder into its display.
std::vector<ShownScreen> EverySimulatorScreen();
// The display after these bytes from a clear start.
ShownScreen ScreenAfter(const std::string& bytes);

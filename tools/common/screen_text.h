// The screen as the tools print and compare it: its lines, then "cursor line LINE column COLUMN"
// (from 1). One format for quorvex-dump --screen, the headless panel's screen steps and reports,
// and screen files.
#pragma once
#include <string>

#include "protocol/screen.h"

class TextDisplay;

struct ScreenCopy {
    std::string lines[screen::Lines];  // screen::Columns characters each
    int row = 0;
    int column = 0;
};

ScreenCopy CopyScreen(const TextDisplay& display);
std::string FormatScreen(const ScreenCopy& screen);

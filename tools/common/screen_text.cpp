// A display's copy and its text.
#include "tools/common/screen_text.h"

#include "display/text_display.h"

ScreenCopy CopyScreen(const TextDisplay& display) {
    char lines[screen::Lines][screen::Columns + 1];
    display.Snapshot(lines);
    ScreenCopy copy;
    for (int i = 0; i < screen::Lines; ++i) copy.lines[i] = lines[i];
    copy.row = display.CursorRow();
    copy.column = display.CursorColumn();
    return copy;
}

std::string FormatScreen(const ScreenCopy& screen) {
    std::string text;
    for (const std::string& line : screen.lines) text += line + "\n";
    // Numbered from 1, as lines are everywhere else in the tools.
    return text + "cursor line " + std::to_string(screen.row + 1) + " column " + std::to_string(screen.column + 1) +
           "\n";
}

// Scripts of the headless panel: keys by legend, computer keys, line clicks, Branch To, and
// expectations on the screen and on the control's exit, in the tools' script line syntax.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/inbound_table.h"
#include "protocol/screen.h"
#include "tools/common/script_syntax.h"

enum class HeadlessKind { Key, Keyboard, Click, Branch, Expect, ExpectLine, ExpectScreen, Screen, ExpectExit, Wait };

// The cursor's column goes past the last cell after text and as far as a cursor address reaches.
constexpr int MaxCursorColumn = inbound::MaxAddressColumn;
// expect takes at most the screen's characters, expect-line a line's.
constexpr size_t MaxExpectText = screen::Lines * screen::Columns;

// A screen file: 20 lines (trailing blanks do not count), then, in either order, the line
// "cursor line LINE column COLUMN" (from 1) when the cursor is to be checked too, and "mask C"
// when the character C in the lines stands for a cell whose content does not matter (a clock).
struct ExpectedScreen {
    std::string lines[screen::Lines];
    bool checkCursor = false;
    int row = 0;     // from 0, as the display counts
    int column = 0;  // from 0
    char mask = 0;   // 0: every cell counts
    bool olderCursor = false;  // the cursor line was written in the older form, from 0
};

struct HeadlessStep {
    HeadlessKind kind = HeadlessKind::Screen;
    int line = 0;            // 1-based line of the script
    std::string text;        // legend, branch text, expected text or screen file name, as written
    int32_t value = 0;       // key id, virtual key, line (1..20) or row (1..20)
    uint32_t timeoutMs = 0;  // expectations: time-out; wait: duration
    ExpectedScreen screen;   // ExpectScreen
};

// Reads a screen file named in a script; false when it cannot be read.
using ScreenFileReader = std::function<bool(const std::string& name, std::string& content)>;

// Parses a whole script and reads its screen files. Returns 0 or the text id of the first
// error; `report` gets every error in line order (for a broken screen file: the script line,
// and the file's line in the detail) and the notes. Steps come only from a script without errors.
unsigned ParseHeadlessScript(std::string_view text, const ScreenFileReader& readScreen,
                             std::vector<HeadlessStep>& steps, ScriptReport& report);

// Parses a screen file; 0 or a text id, with the 1-based offending line in *badLine.
unsigned ParseScreenFile(std::string_view text, ExpectedScreen& screen, int* badLine);

const char* HeadlessStepName(HeadlessKind kind);
// The script commands for the usage text.
std::string HeadlessCommandNames();

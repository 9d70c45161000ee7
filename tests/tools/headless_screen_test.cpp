// expect-screen against what the panel shows: every simulator screen, printed as the screen step
// and quorvex-dump --screen print it, is taken back as a screen file and matches (wherever the
// cursor stands); masked cells match anything and nothing else.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/tools/sim_screens.h"
#include "tools/common/texts.h"
#include "tools/headless/headless_runner.h"

namespace {
// The screen file made of a printed screen matches that screen.
void ExpectRoundTrip(const ScreenCopy& shown, const std::string& what) {
    ExpectedScreen file;
    int bad = 0;
    ASSERT_EQ(ParseScreenFile(FormatScreen(shown), file, &bad), 0u) << what << " line " << bad << "\n"
                                                                      << FormatScreen(shown);
    EXPECT_TRUE(file.checkCursor) << what;
    EXPECT_EQ(ScreenMismatch(file, shown), "") << what;
}

ScreenCopy Copy(const ShownScreen& shown) {
    ScreenCopy copy;
    for (int i = 0; i < screen::Lines; ++i) copy.lines[i] = shown.lines[i];
    copy.row = shown.row;
    copy.column = shown.column;
    return copy;
}

TEST(HeadlessScreen, EverySimulatorScreenPrintedIsAcceptedByExpectScreen) {
    int pastTheLastColumn = 0;
    for (const ShownScreen& shown : EverySimulatorScreen()) {
        pastTheLastColumn += shown.column >= screen::Columns;
        ExpectRoundTrip(Copy(shown), shown.what);
    }
    EXPECT_GT(pastTheLastColumn, 0) << "no screen left the cursor past the last column";
    const ShownScreen furthest = ScreenAfter("\x14" "ABC\xBF\xFF");
    ASSERT_EQ(furthest.column, MaxCursorColumn);
    ExpectRoundTrip(Copy(furthest), "cursor address 63,127");
}

TEST(HeadlessScreen, MaskedCellsMatchAnythingOtherCellsStillCount) {
    ScreenCopy shown;
    for (std::string& line : shown.lines) line = std::string(screen::Columns, ' ');
    shown.lines[0] = "HP-250 PRESS LINE 3    AUTO     08:15:42";
    shown.lines[0].resize(screen::Columns, ' ');
    std::string file = "HP-250 PRESS LINE 3    AUTO     ##:##:##\n" + std::string(19, '\n') + "mask #\n";
    ExpectedScreen expected;
    ASSERT_EQ(ParseScreenFile(file, expected, nullptr), 0u);
    EXPECT_EQ(ScreenMismatch(expected, shown), "");
    shown.lines[0][23] = 'M';  // "MUTO": an unmasked cell changed
    EXPECT_EQ(ScreenMismatch(expected, shown),
              "line 1 shows \"HP-250 PRESS LINE 3    MUTO     08:15:42\", the file has "
              "\"HP-250 PRESS LINE 3    AUTO     ##:##:##\"");
    // Without the mask line '#' is just a character.
    shown.lines[0][23] = 'A';
    ASSERT_EQ(ParseScreenFile(file.substr(0, file.find("mask")), expected, nullptr), 0u);
    EXPECT_NE(ScreenMismatch(expected, shown), "");
}
}  // namespace

// Headless scripts: each command and what it names, the refusals with their lines, and screen files.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "protocol/key_ids.h"
#include "tools/common/texts.h"
#include "tools/headless/headless_script.h"

namespace {
const std::map<std::string, std::string> kFiles = {
    {"menu.txt", "MAIN MENU\n\n> STATUS   \r\n" + std::string(17, '\n') + "cursor line 3 column 9\n\n"},
    {"older.txt", "MAIN MENU\n\n> STATUS\n" + std::string(17, '\n') + "cursor 2 8\n"},  // from 0, as once printed
    {"short.txt", "A\nB"},
    {"misplaced.txt", "A\n" + std::string(18, '\n') + "cursor line 1 column 1\n"},  // a line short
    {"wide.txt", std::string(41, 'x') + "\n"},
    {"long.txt", std::string(22, '\n') + "x\n"},
    {"badcursor.txt", std::string(20, '\n') + "cursor line 21 column 1\n"},
    {"zerocursor.txt", std::string(20, '\n') + "cursor line 0 column 1\n"},
    {"oldbadcursor.txt", std::string(20, '\n') + "cursor 20 0\n"},
    {"past.txt", std::string(20, '\n') + "mask #\ncursor line 1 column 41\n"},
    {"twocursors.txt", std::string(20, '\n') + "cursor 0 1\ncursor line 1 column 2\n"},
    {"farcursor.txt", std::string(20, '\n') + "cursor line 1 column 129\n"},
    {"oldfarcursor.txt", std::string(20, '\n') + "cursor 0 128\n"},
    {"badmask.txt", std::string(20, '\n') + "mask  \n"},
};

unsigned Parse(const std::string& text, std::vector<HeadlessStep>& steps, ScriptError& error,
               ScriptReport* all = nullptr) {
    ScriptReport report;
    const unsigned id = ParseHeadlessScript(
        text,
        [](const std::string& name, std::string& content) {
            auto f = kFiles.find(name);
            if (f == kFiles.end()) return false;
            content = f->second;
            return true;
        },
        steps, report);
    error = report.errors.empty() ? ScriptError() : report.errors.front();
    if (all) *all = report;
    return id;
}

TEST(HeadlessScript, EachCommandAndWhatItNames) {
    struct Case {
        const char* line;
        HeadlessKind kind;
        int32_t value;
        std::string text;
        uint32_t ms;
    };
    const Case cases[] = {
        {"key LINE UP", HeadlessKind::Key, KeyId::LineUp, "LINE UP", 0},
        {"key adjust down", HeadlessKind::Key, KeyId::AdjustDown, "adjust down", 0},
        {"key .", HeadlessKind::Key, KeyId::Point, ".", 0},
        {"key 7", HeadlessKind::Key, KeyId::Digit7, "7", 0},
        {"key EXIT  ", HeadlessKind::Key, KeyId::Exit, "EXIT", 0},
        {"keyboard VK_RETURN", HeadlessKind::Keyboard, 13, "VK_RETURN", 0},
        {"keyboard shift", HeadlessKind::Keyboard, 16, "shift", 0},
        {"keyboard numpad7", HeadlessKind::Keyboard, 103, "numpad7", 0},
        {"keyboard p", HeadlessKind::Keyboard, 'P', "p", 0},
        {"keyboard 5", HeadlessKind::Keyboard, '5', "5", 0},
        {"keyboard 112", HeadlessKind::Keyboard, 112, "112", 0},
        {"click 20", HeadlessKind::Click, 20, "", 0},
        {"branch status", HeadlessKind::Branch, 0, "STATUS", 0},
        {"expect 200.0 kN 250", HeadlessKind::Expect, 0, "200.0 kN", 250},
        {"expect 200.0 kN within 250", HeadlessKind::Expect, 0, "200.0 kN", 250},
        {"expect-line 2 LOG 1-14 of 120 within 3000", HeadlessKind::ExpectLine, 2, "LOG 1-14 of 120", 3000},
        {"expect-line 2 LOG 1-14 of 120 within 10 within 20", HeadlessKind::ExpectLine, 2, "LOG 1-14 of 120 within 10",
         20},
        {"expect within", HeadlessKind::Expect, 0, "within", DefaultExpectMs},
        {"expect-exit within 5000", HeadlessKind::ExpectExit, 0, "", 5000},
        {"\xEF\xBB\xBFkey ENTER", HeadlessKind::Key, KeyId::Enter, "ENTER", 0},
        {"expect 5", HeadlessKind::Expect, 0, "5", DefaultExpectMs},
        {"expect-line 2  > Parameters 40", HeadlessKind::ExpectLine, 2, " > Parameters", 40},
        {"expect-line 20 A\\x20", HeadlessKind::ExpectLine, 20, "A ", DefaultExpectMs},
        {"expect-screen menu.txt 900", HeadlessKind::ExpectScreen, 0, "menu.txt", 900},
        {"screen", HeadlessKind::Screen, 0, "", 0},
        {"expect-exit", HeadlessKind::ExpectExit, 0, "", DefaultExpectMs},
        {"expect-exit 10", HeadlessKind::ExpectExit, 0, "", 10},
        {"wait 150", HeadlessKind::Wait, 0, "", 150},
    };
    for (const Case& c : cases) {
        std::vector<HeadlessStep> steps;
        ScriptError error;
        ASSERT_EQ(Parse(c.line, steps, error), 0u) << c.line << ": " << tool_text::Text(error.id);
        ASSERT_EQ(steps.size(), 1u);
        EXPECT_EQ(steps[0].kind, c.kind) << c.line;
        EXPECT_EQ(steps[0].value, c.value) << c.line;
        EXPECT_EQ(steps[0].text, c.text) << c.line;
        EXPECT_EQ(steps[0].timeoutMs, c.ms) << c.line;
    }
}

TEST(HeadlessScript, RefusalsNameTheLineAndThePiece) {
    struct Case {
        const char* text;
        int line;
        unsigned id;
        const char* detail;
    };
    const Case cases[] = {
        {"key LINE\n", 1, tool_text::UnknownKey, "LINE"},
        {"# c\nkey\n", 2, tool_text::MissingBytes, ""},
        {"keyboard VK_NOPE", 1, tool_text::UnknownVirtualKey, "VK_NOPE"},
        {"keyboard 256", 1, tool_text::UnknownVirtualKey, "256"},
        {"keyboard ab", 1, tool_text::UnknownVirtualKey, "ab"},
        {"click 0", 1, tool_text::LineOutOfRange, "0"},
        {"click 21", 1, tool_text::LineOutOfRange, "21"},
        {"click x", 1, tool_text::BadNumber, "x"},
        {"expect-line 21 A", 1, tool_text::LineOutOfRange, "21"},
        {"expect-line A", 1, tool_text::BadNumber, "A"},
        {"expect-line 3", 1, tool_text::MissingBytes, ""},
        {"branch " "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456", 1, tool_text::BranchTooLong, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456"},
        {"# c\nbranch A\\nPPK", 2, tool_text::BranchControlByte, "character 2 is \\x0A"},
        {"branch \\tX", 1, tool_text::BranchControlByte, "character 1 is \\x09"},
        {"branch A\\x00B", 1, tool_text::BranchControlByte, "character 2 is \\x00"},
        {"branch AB\\x7F", 1, tool_text::BranchControlByte, "character 3 is \\x7F"},
        {"expect-screen none.txt", 1, tool_text::ScreenUnreadable, "none.txt"},
        {"expect-screen wide.txt", 1, tool_text::ScreenLineTooLong, "wide.txt line 1"},
        {"expect-screen long.txt", 1, tool_text::ScreenBadShape, "long.txt line 23"},
        {"expect-screen badcursor.txt", 1, tool_text::ScreenBadShape, "badcursor.txt line 21"},
        {"expect-screen zerocursor.txt", 1, tool_text::ScreenBadShape, "zerocursor.txt line 21"},
        {"expect-screen oldbadcursor.txt", 1, tool_text::ScreenBadShape, "oldbadcursor.txt line 21"},
        {"expect-screen oldfarcursor.txt", 1, tool_text::ScreenBadShape, "oldfarcursor.txt line 21"},
        {"expect-screen short.txt", 1, tool_text::ScreenShort, "short.txt line 2"},
        {"expect-screen misplaced.txt", 1, tool_text::ScreenLineMisplaced, "misplaced.txt line 20"},
        {"screen now", 1, tool_text::UnexpectedArgument, "now"},
        {"press ENTER", 1, tool_text::UnknownScriptCommand, "press"},
        {"expect A 3600001", 1, tool_text::NumberTooLarge, "3600001"},
        {"branch \\x4", 1, tool_text::ShortHexEscape, "\\x4"},
        {"expect-screen twocursors.txt", 1, tool_text::ScreenBadShape, "twocursors.txt line 22"},
        {"expect-screen farcursor.txt", 1, tool_text::ScreenBadShape, "farcursor.txt line 21"},
        {"expect-screen badmask.txt", 1, tool_text::ScreenBadShape, "badmask.txt line 21"},
        {"", 0, tool_text::EmptyScript, ""},
        {"# only a comment\n\n", 0, tool_text::EmptyScript, ""},
        {"expect-exit within", 1, tool_text::BadNumber, "within"},
        {"expect-line 1 " "0123456789012345678901234567890123456789X", 1, tool_text::TextTooLong, "41 characters"},
        {"\x01\x02binary\xff", 1, tool_text::UnknownScriptCommand, "\x01\x02binary\xff"},
    };
    for (const Case& c : cases) {
        std::vector<HeadlessStep> steps;
        ScriptError error;
        EXPECT_EQ(Parse(c.text, steps, error), c.id) << c.text << ": " << tool_text::Text(error.id);
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_EQ(error.detail, c.detail) << c.text;
        EXPECT_TRUE(steps.empty()) << c.text;
    }
}

TEST(HeadlessScript, EveryErrorIsReportedInLineOrderTooLongTextsAreRefusedAndBareTimeOutsNoted) {
    const std::string huge(10 * 1024 * 1024, 'A');
    const std::string screenText = std::string(screen::Lines * screen::Columns, 'B');
    const std::string text = "key NOPE\nexpect " + huge + "\nexpect " + screenText + "\nsned\nexpect-line 2 OF 120\n" +
                             "click 30\nexpect A within 20\n";
    std::vector<HeadlessStep> steps;
    ScriptError first;
    ScriptReport report;
    EXPECT_EQ(Parse(text, steps, first, &report), tool_text::UnknownKey);
    struct Seen {
        int line;
        unsigned id;
        std::string detail;
    };
    const Seen errors[] = {{1, tool_text::UnknownKey, "NOPE"},
                           {2, tool_text::TextTooLong, "10485760 characters"},
                           {4, tool_text::UnknownScriptCommand, "sned"},
                           {6, tool_text::LineOutOfRange, "30"}};
    ASSERT_EQ(report.errors.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(report.errors[i].line, errors[i].line) << i;
        EXPECT_EQ(report.errors[i].id, errors[i].id) << i;
        EXPECT_EQ(report.errors[i].detail, errors[i].detail) << i;
    }
    ASSERT_EQ(report.notes.size(), 1u);
    EXPECT_EQ(report.notes[0].line, 5);
    EXPECT_EQ(report.notes[0].id, tool_text::BareTimeOut);
    EXPECT_EQ(report.notes[0].detail, "120");
    EXPECT_TRUE(steps.empty());

    // Details are cut: a long unknown word does not come back whole.
    EXPECT_EQ(Parse(huge, steps, first), tool_text::UnknownScriptCommand);
    EXPECT_EQ(first.detail, std::string(MaxDetail, 'A') + "...");
}

// The cursor line numbers from 1, as lines do everywhere else; a file of the older form (from 0)
// means the same cursor and draws a note.
TEST(HeadlessScript, ScreenFilesKeepTheirLinesAndTheCursor) {
    std::vector<HeadlessStep> steps;
    ScriptError error;
    ScriptReport report;
    ASSERT_EQ(Parse("expect-screen menu.txt\nexpect-screen older.txt", steps, error, &report), 0u);
    for (const HeadlessStep& step : steps) {
        const ExpectedScreen& menu = step.screen;
        EXPECT_EQ(menu.lines[0], "MAIN MENU");
        EXPECT_EQ(menu.lines[2], "> STATUS");  // trailing blanks and the CR do not count
        EXPECT_EQ(menu.lines[19], "");
        EXPECT_TRUE(menu.checkCursor);
        EXPECT_EQ(menu.row, 2);
        EXPECT_EQ(menu.column, 8);
        EXPECT_EQ(menu.mask, 0);
    }
    ASSERT_EQ(report.notes.size(), 1u);
    EXPECT_EQ(report.notes[0].line, 2);
    EXPECT_EQ(report.notes[0].id, tool_text::ScreenOlderCursor);
    EXPECT_EQ(report.notes[0].detail, "older.txt");

    ASSERT_EQ(Parse("expect-screen past.txt", steps, error), 0u) << tool_text::Text(error.id);
    EXPECT_EQ(steps[0].screen.column, 40);  // past the last column, as after text that filled the line
    EXPECT_EQ(steps[0].screen.mask, '#');
}
}  // namespace

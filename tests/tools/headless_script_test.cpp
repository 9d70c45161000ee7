// Headless scripts: each command and what it names, the refusals with their lines, and screen files.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tools/common/texts.h"
#include "tools/headless/headless_script.h"

namespace {
const std::map<std::string, std::string> kFiles = {
    {"menu.txt", "MAIN MENU\n\n> STATUS   \r\n" + std::string(17, '\n') + "cursor 2 8\n\n"},
    {"short.txt", "A\nB"},
    {"wide.txt", std::string(41, 'x') + "\n"},
    {"long.txt", std::string(22, '\n') + "x\n"},
    {"badcursor.txt", std::string(20, '\n') + "cursor 20 0\n"},
};

unsigned Parse(const std::string& text, std::vector<HeadlessStep>& steps, ScriptError& error) {
    return ParseHeadlessScript(
        text,
        [](const std::string& name, std::string& content) {
            auto f = kFiles.find(name);
            if (f == kFiles.end()) return false;
            content = f->second;
            return true;
        },
        steps, error);
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
        {"key LINE UP", HeadlessKind::Key, 2000, "LINE UP", 0},
        {"key adjust down", HeadlessKind::Key, 2007, "adjust down", 0},
        {"key .", HeadlessKind::Key, 2021, ".", 0},
        {"key 7", HeadlessKind::Key, 2017, "7", 0},
        {"key EXIT  ", HeadlessKind::Key, 2024, "EXIT", 0},
        {"keyboard VK_RETURN", HeadlessKind::Keyboard, 13, "VK_RETURN", 0},
        {"keyboard shift", HeadlessKind::Keyboard, 16, "shift", 0},
        {"keyboard numpad7", HeadlessKind::Keyboard, 103, "numpad7", 0},
        {"keyboard p", HeadlessKind::Keyboard, 'P', "p", 0},
        {"keyboard 5", HeadlessKind::Keyboard, '5', "5", 0},
        {"keyboard 112", HeadlessKind::Keyboard, 112, "112", 0},
        {"click 20", HeadlessKind::Click, 20, "", 0},
        {"branch status", HeadlessKind::Branch, 0, "STATUS", 0},
        {"expect 200.0 kN 250", HeadlessKind::Expect, 0, "200.0 kN", 250},
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
        {"expect-screen none.txt", 1, tool_text::ScreenUnreadable, "none.txt"},
        {"expect-screen wide.txt", 1, tool_text::ScreenLineTooLong, "wide.txt line 1"},
        {"expect-screen long.txt", 1, tool_text::ScreenBadShape, "long.txt line 23"},
        {"expect-screen badcursor.txt", 1, tool_text::ScreenBadShape, "badcursor.txt line 21"},
        {"screen now", 1, tool_text::UnexpectedArgument, "now"},
        {"press ENTER", 1, tool_text::UnknownScriptCommand, "press"},
        {"expect A 3600001", 1, tool_text::NumberTooLarge, "3600001"},
        {"branch \\x4", 1, tool_text::ShortHexEscape, "\\x4"},
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

TEST(HeadlessScript, ScreenFilesKeepTheirLinesAndTheCursor) {
    std::vector<HeadlessStep> steps;
    ScriptError error;
    ASSERT_EQ(Parse("expect-screen menu.txt\nexpect-screen short.txt", steps, error), 0u);
    const ExpectedScreen& menu = steps[0].screen;
    EXPECT_EQ(menu.lines[0], "MAIN MENU");
    EXPECT_EQ(menu.lines[2], "> STATUS");  // trailing blanks and the CR do not count
    EXPECT_EQ(menu.lines[19], "");
    EXPECT_TRUE(menu.checkCursor);
    EXPECT_EQ(menu.row, 2);
    EXPECT_EQ(menu.column, 8);
    EXPECT_EQ(steps[1].screen.lines[1], "B");
    EXPECT_FALSE(steps[1].screen.checkCursor);
}
}  // namespace

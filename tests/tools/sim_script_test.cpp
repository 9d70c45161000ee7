// Script parsing: each command form, time-outs, comments, line endings, and the errors with their lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/sim/script.h"
#include "tools/common/texts.h"

namespace {
TEST(SimScript, ParsesEachStepForm) {
    struct Case {
        const char* line;
        StepKind kind;
        std::string bytes;
        uint32_t ms;
    };
    const Case cases[] = {
        {"send \\x01HELLO", StepKind::Send, "\x01HELLO", 0},
        {"send two words", StepKind::Send, "two words", 0},
        {"send  lead", StepKind::Send, " lead", 0},
        {"send trail   ", StepKind::Send, "trail", 0},
        {"send 500", StepKind::Send, "500", 0},
        {"expect PPK", StepKind::Expect, "PPK", DefaultExpectMs},
        {"expect PPK 250", StepKind::Expect, "PPK", 250},
        {"expect p12\\n 100", StepKind::Expect, "p12\n", 100},
        {"expect a b\t700", StepKind::Expect, "a b", 700},
        {"expect 5", StepKind::Expect, "5", DefaultExpectMs},
        {"expect 5 40", StepKind::Expect, "5", 40},
        {"expect 5\\x2040", StepKind::Expect, "5 40", DefaultExpectMs},
        {"expect x 12a", StepKind::Expect, "x 12a", DefaultExpectMs},
        {"wait 0", StepKind::Wait, "", 0},
        {"wait 1500", StepKind::Wait, "", 1500},
        {"close", StepKind::Close, "", 0},
        {"expect-closed", StepKind::ExpectClosed, "", DefaultExpectMs},
        {"expect-closed 800", StepKind::ExpectClosed, "", 800},
        {"   \tsend indented", StepKind::Send, "indented", 0},
    };
    for (const Case& c : cases) {
        std::vector<ScriptStep> steps;
        ScriptReport report;
        ASSERT_EQ(ParseScript(c.line, steps, report), 0u) << c.line;
        ASSERT_EQ(steps.size(), 1u) << c.line;
        EXPECT_EQ(steps[0].kind, c.kind) << c.line;
        EXPECT_EQ(steps[0].bytes, c.bytes) << c.line;
        EXPECT_EQ(steps[0].timeoutMs, c.ms) << c.line;
        EXPECT_EQ(steps[0].line, 1) << c.line;
    }
}

TEST(SimScript, SkipsCommentsAndBlankLinesAndKeepsLineNumbers) {
    const char* text = "# start\r\n\r\n  # indented comment\nsend A\r\n\t\nexpect B 10\nclose";
    std::vector<ScriptStep> steps;
    ScriptReport report;
    ASSERT_EQ(ParseScript(text, steps, report), 0u);
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].line, 4);
    EXPECT_EQ(steps[0].bytes, "A");  // the CR of a CRLF line is not a byte
    EXPECT_EQ(steps[1].line, 6);
    EXPECT_EQ(steps[2].line, 7);
    EXPECT_STREQ(StepName(steps[2].kind), "close");
}

TEST(SimScript, ReportsTheFirstErrorWithItsLine) {
    struct Case {
        const char* text;
        int line;
        unsigned id;
        const char* detail;
    };
    const Case cases[] = {
        {"send A\nsned B", 2, tool_text::UnknownScriptCommand, "sned"},
        {"Send A", 1, tool_text::UnknownScriptCommand, "Send"},
        {"send", 1, tool_text::MissingBytes, ""},
        {"send   ", 1, tool_text::MissingBytes, ""},
        {"expect", 1, tool_text::MissingBytes, ""},
        {"# ok\nsend \\q", 2, tool_text::UnknownEscape, "\\q"},
        {"expect \\x4 100", 1, tool_text::ShortHexEscape, "\\x4"},
        {"wait", 1, tool_text::MissingNumber, ""},
        {"wait soon", 1, tool_text::BadNumber, "soon"},
        {"wait -5", 1, tool_text::BadNumber, "-5"},
        {"wait 3600001", 1, tool_text::NumberTooLarge, "3600001"},
        {"expect A 99999999999", 1, tool_text::NumberTooLarge, "99999999999"},
        {"expect-closed later", 1, tool_text::BadNumber, "later"},
        {"close now", 1, tool_text::UnexpectedArgument, "now"},
        {"send A\nsend B\nclose 1\nsned", 3, tool_text::UnexpectedArgument, "1"},
    };
    for (const Case& c : cases) {
        std::vector<ScriptStep> steps;
        ScriptReport report;
        EXPECT_EQ(ParseScript(c.text, steps, report), c.id) << c.text;
        ASSERT_FALSE(report.errors.empty()) << c.text;
        const ScriptError& error = report.errors.front();
        EXPECT_EQ(error.id, c.id) << c.text;
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_EQ(error.detail, c.detail) << c.text;
    }
}

TEST(SimScript, AScriptWithoutStepsIsAnError) {
    for (const char* text : {"", "\xEF\xBB\xBF", "# nothing\r\n\r\n"}) {
        std::vector<ScriptStep> steps(3);
        ScriptReport report;
        EXPECT_EQ(ParseScript(text, steps, report), tool_text::EmptyScript) << text;
        EXPECT_TRUE(steps.empty());
    }
}
}  // namespace

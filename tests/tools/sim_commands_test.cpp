// Splitting the panel's bytes into commands: every single-byte command, line selection and
// Branch To across reads, and the "VFD" answer mixed in with the start-up commands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/common/commands.h"

namespace {
std::vector<Command> FeedAll(const std::vector<std::string>& reads) {
    CommandReader reader;
    std::vector<Command> out;
    for (const std::string& r : reads) reader.Feed(r, out);
    return out;
}

std::string Kinds(const std::vector<Command>& commands) {
    static const char* names[] = {"left", "up", "right", "down", "lineup", "linedown", "select", "branch", "adjust",
                                  "exit", "digit", "point", "neg", "serv", "enter", "fast", "slow", "ident", "unknown"};
    std::string s;
    for (const Command& c : commands) s += std::string(s.empty() ? "" : " ") + names[static_cast<int>(c.kind)];
    return s;
}

TEST(SimCommands, EverySingleByteCommand) {
    struct Case {
        char byte;
        CommandKind kind;
        int value;
        AdjustSpeed speed;
        const char* described;
    };
    const Case cases[] = {
        {'H', CommandKind::CursorLeft, 0, AdjustSpeed::Normal, "CursorKey left (H)"},
        {'K', CommandKind::CursorUp, 0, AdjustSpeed::Normal, "CursorKey up (K)"},
        {'L', CommandKind::CursorRight, 0, AdjustSpeed::Normal, "CursorKey right (L)"},
        {'J', CommandKind::CursorDown, 0, AdjustSpeed::Normal, "CursorKey down (J)"},
        {'o', CommandKind::LineUp, 0, AdjustSpeed::Normal, "ScrollLine up (o)"},
        {'O', CommandKind::LineDown, 0, AdjustSpeed::Normal, "ScrollLine down (O)"},
        {'Z', CommandKind::Adjust, 1, AdjustSpeed::Slow, "Adjust up slow (Z)"},
        {'X', CommandKind::Adjust, -1, AdjustSpeed::Slow, "Adjust down slow (X)"},
        {'A', CommandKind::Adjust, 1, AdjustSpeed::Normal, "Adjust up normal (A)"},
        {'S', CommandKind::Adjust, -1, AdjustSpeed::Normal, "Adjust down normal (S)"},
        {'Q', CommandKind::Adjust, 1, AdjustSpeed::Fast, "Adjust up fast (Q)"},
        {'W', CommandKind::Adjust, -1, AdjustSpeed::Fast, "Adjust down fast (W)"},
        {'P', CommandKind::Exit, 0, AdjustSpeed::Normal, "ExitKey (P)"},
        {'0', CommandKind::Digit, 0, AdjustSpeed::Normal, "Key 0 (0)"},
        {'9', CommandKind::Digit, 9, AdjustSpeed::Normal, "Key 9 (9)"},
        {'.', CommandKind::Point, 0, AdjustSpeed::Normal, "Key . (.)"},
        {'-', CommandKind::Neg, 0, AdjustSpeed::Normal, "Key NEG (-)"},
        {':', CommandKind::Serv, 0, AdjustSpeed::Normal, "Key : (:)"},
        {'\n', CommandKind::Enter, 0, AdjustSpeed::Normal, "Key ENTER (\\n)"},
        {'B', CommandKind::Fast, 0, AdjustSpeed::Normal, "Key FAST (B)"},
        {'C', CommandKind::Slow, 0, AdjustSpeed::Normal, "Key SLOW (C)"},
        {'\r', CommandKind::Unknown, 0, AdjustSpeed::Normal, "Unknown \"\\r\""},
        {'z', CommandKind::Unknown, 0, AdjustSpeed::Normal, "Unknown \"z\""},
    };
    for (const Case& c : cases) {
        std::vector<Command> out = FeedAll({std::string(1, c.byte)});
        ASSERT_EQ(out.size(), 1u) << c.byte;
        EXPECT_EQ(out[0].kind, c.kind) << c.byte;
        EXPECT_EQ(out[0].value, c.value) << c.byte;
        EXPECT_EQ(out[0].speed, c.speed) << c.byte;
        EXPECT_EQ(DescribeCommand(out[0]), c.described);
    }
}

TEST(SimCommands, SelectLineAlsoWhenSplitAcrossReads) {
    struct Case {
        std::vector<std::string> reads;
        std::vector<int> lines;
    };
    const Case cases[] = {
        {{"p1\n"}, {1}},
        {{"p20\n"}, {20}},
        {{"p", "1", "2", "\n"}, {12}},
        {{"p3\np4", "\n"}, {3, 4}},
        {{"p999999999\n"}, {999999999}},
    };
    for (const Case& c : cases) {
        std::vector<Command> out = FeedAll(c.reads);
        ASSERT_EQ(out.size(), c.lines.size());
        for (size_t i = 0; i < out.size(); ++i) {
            EXPECT_EQ(out[i].kind, CommandKind::SelectLine);
            EXPECT_EQ(out[i].value, c.lines[i]);
        }
    }
    EXPECT_EQ(DescribeCommand(FeedAll({"p12\n"})[0]), "SelectLine 12 (p12\\n)");
}

TEST(SimCommands, BrokenSelectionIsReportedAndTheNextByteCounts) {
    struct Case {
        const char* bytes;
        const char* kinds;
        const char* firstText;
    };
    const Case cases[] = {
        {"p\n", "unknown enter", "p"},
        {"p1K", "unknown up", "p1"},
        {"p12P", "unknown exit", "p12"},
        {"p1234567890\n", "unknown digit enter", "p123456789"},
        {"pp5\n", "unknown select", "p"},
    };
    for (const Case& c : cases) {
        std::vector<Command> out = FeedAll({c.bytes});
        EXPECT_EQ(Kinds(out), c.kinds) << c.bytes;
        ASSERT_FALSE(out.empty());
        EXPECT_EQ(out[0].text, c.firstText) << c.bytes;
    }
}

TEST(SimCommands, BranchToTakesAnyTextUpToTheLineFeed) {
    std::vector<Command> out = FeedAll({"qSTA", "TUS\n", "q params \n", "qVFD\n", "q\n"});
    ASSERT_EQ(Kinds(out), "branch branch branch branch");
    EXPECT_EQ(out[0].text, "STATUS");
    EXPECT_EQ(out[1].text, " params ");
    EXPECT_EQ(out[2].text, "VFD");  // not an identification answer
    EXPECT_EQ(out[3].text, "");
    EXPECT_EQ(DescribeCommand(out[0]), "Branch \"STATUS\"");

    std::vector<Command> tooLong = FeedAll({"q" + std::string(70, 'x') + "\nK"});
    EXPECT_EQ(Kinds(tooLong), "unknown up");
    EXPECT_EQ(tooLong[0].text.size(), 66u);
}

TEST(SimCommands, IdentificationInAnyInterleavingWithTheStartUpCommands) {
    const std::vector<std::vector<std::string>> orders = {
        {"VFD", "P", "P", "K"}, {"P", "VFD", "P", "K"}, {"P", "P", "VFD", "K"}, {"P", "P", "K", "VFD"},
        {"PPKVFD"},           {"PV", "FDPK"},         {"PPV", "F", "DK"},     {"V", "F", "D", "PPK"},
    };
    for (const auto& reads : orders) {
        std::vector<Command> out = FeedAll(reads);
        std::string kinds = Kinds(out);
        EXPECT_NE(kinds.find("ident"), std::string::npos) << reads[0];
        EXPECT_EQ(kinds.find("unknown"), std::string::npos) << reads[0];
        int exits = 0;
        int ups = 0;
        for (const Command& c : out) {
            exits += c.kind == CommandKind::Exit;
            ups += c.kind == CommandKind::CursorUp;
        }
        EXPECT_EQ(exits, 2);
        EXPECT_EQ(ups, 1);
    }
}

TEST(SimCommands, WrongIdentificationIsUnknownAndDoesNotSwallowCommands) {
    std::vector<Command> out = FeedAll({"VFP", "Vy"});
    EXPECT_EQ(Kinds(out), "unknown exit unknown unknown");
    EXPECT_EQ(out[0].text, "VF");
    EXPECT_EQ(out[2].text, "V");
    EXPECT_EQ(DescribeCommand(FeedAll({"VFD"})[0]), "IdentificationAnswer (VFD)");
}

TEST(SimCommands, ResetForgetsAnUnfinishedCommand) {
    CommandReader reader;
    std::vector<Command> out;
    reader.Feed("p1", out);
    reader.Reset();
    reader.Feed("2\n", out);
    EXPECT_EQ(Kinds(out), "digit enter");
}
}  // namespace

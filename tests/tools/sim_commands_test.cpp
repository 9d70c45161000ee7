// Splitting the panel's bytes into commands: every command of the table and every key's click
// read back as themselves, line selection and Branch To across reads, and the "VFD" answer
// mixed in with the start-up commands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

// Before the bindings, whose AdjustSpeed function hides the reader's type of that name.
#include "tools/common/commands.h"

#include "keypad/key_bindings.h"
#include "link/command_encoder.h"
#include "tests/keypad/wire_recorder.h"

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

// The bytes a row stands for: the request's form where a request asks for it, else its own.
std::string BytesOf(const commands::Row& row) {
    if (row.form == commands::Form::Text) return std::string(row.bytes) + "NAME" + commands::End;
    if (row.request.type == 0) return row.bytes;
    const commands::Request& q = row.request;
    const PanelCommand request = {q.type, q.argumentMatch == commands::Match::NonZero ? 1 : q.argument, q.speed};
    char buf[CommandBufferSize];
    return std::string(buf, static_cast<size_t>(EncodeCommand(request, buf)));
}

TEST(SimCommands, EveryCommandRowReadsBackAsItself) {
    for (const commands::Row& row : commands::kRows) {
        const std::string bytes = BytesOf(row);
        std::vector<Command> out = FeedAll({bytes});
        ASSERT_EQ(out.size(), 1u) << row.bytes;
        EXPECT_EQ(out[0].kind, row.kind) << row.bytes;
        if (row.form == commands::Form::Fixed) EXPECT_EQ(RowOf(out[0]), &row) << row.bytes;
        EXPECT_EQ(DescribeCommand(out[0]).find("Unknown"), std::string::npos) << row.bytes;
    }
}

// A port that keeps what a click writes, with neither latch pushed.
class WireOnly final : public WireRecorder {
public:
    bool ShowsPushed(int32_t) override { return false; }
    void ToggleLatch(int32_t) override {}
    void ReleaseLatch(int32_t) override {}
    void OpenBranchTo() override {}
};

TEST(SimCommands, EveryKeyClickReadsBackAsOneCommandOfThatKey) {
    for (const KeyRow& key : KeyTable::Rows) {
        WireOnly port;
        PerformKeyAction(ActionForKey(key.id), port);
        std::vector<Command> out = FeedAll({port.wire});
        ASSERT_EQ(out.size(), 1u) << key.legend;
        const commands::Row* row = RowOf(out[0]);
        ASSERT_NE(row, nullptr) << key.legend;
        EXPECT_EQ(row->key, key.id) << key.legend;
    }
}

TEST(SimCommands, NamesByTheCommandOrTheKeysLegend) {
    struct Case {
        const char* bytes;
        const char* described;
    };
    const Case cases[] = {
        {"H", "CursorKey left (H)"},   {"o", "ScrollLine up (o)"},     {"W", "Adjust down fast (W)"},
        {"A", "Adjust up normal (A)"}, {"P", "ExitKey (P)"},           {"9", "Key 9 (9)"},
        {"-", "Key NEG (-)"},          {"\n", "Key ENTER (\\n)"},      {"C", "Key SLOW (C)"},
        {"\r", "Unknown \"\\r\""},     {"z", "Unknown \"z\""},
    };
    for (const Case& c : cases) {
        std::vector<Command> out = FeedAll({c.bytes});
        ASSERT_EQ(out.size(), 1u) << c.bytes;
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

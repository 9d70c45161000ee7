// The tools' shared command line: both value forms, operands, --help and --version, and the
// refusals that name their argument; then what the tool prints and returns for each outcome.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/common/command_line.h"
#include "tools/common/texts.h"

namespace {
enum { Name, Flag };
constexpr CommandOption kOptions[] = {{"--name", Name, true}, {"--flag", Flag, false}};

struct Read {
    CommandLineResult result;
    std::string applied;  // "id=value;" per option and "[operand]" per operand, in order
};

Read ReadArgs(std::vector<const char*> args, bool operands) {
    args.insert(args.begin(), "tool.exe");
    Read read;
    const auto apply = [&](int id, const std::string& value) {
        read.applied += std::to_string(id) + "=" + value + ";";
        return value == "bad" ? tool_text::BadDevice : tool_text::Ok;
    };
    const auto operand = [&](const std::string& arg) {
        read.applied += "[" + arg + "]";
        return tool_text::Ok;
    };
    read.result = ReadCommandLine(static_cast<int>(args.size()), args.data(), 1, kOptions, 2, apply,
                                  operands ? ApplyOperand(operand) : ApplyOperand());
    return read;
}

TEST(CommandLine, ReadsBothValueFormsOperandsHelpVersionAndNamesWhatItRefuses) {
    using O = CommandLineOutcome;
    struct Case {
        std::vector<const char*> args;
        bool operands;
        O outcome;
        unsigned id;
        const char* argument;
        const char* applied;
    };
    const Case cases[] = {
        {{}, false, O::Run, 0, "", ""},
        {{"--name", "a b", "--flag"}, false, O::Run, 0, "", "0=a b;1=;"},
        {{"--name=x=y", "--name="}, false, O::Run, 0, "", "0=x=y;0=;"},
        {{"--name", "--flag"}, false, O::Run, 0, "", "0=--flag;"},
        {{"in.bin", "-", "--", "--flag"}, true, O::Run, 0, "", "[in.bin][-][--flag]"},
        {{"--help", "--bogus"}, false, O::Help, 0, "", ""},
        {{"--flag", "-h"}, false, O::Help, 0, "", "1=;"},
        {{"--version"}, false, O::Version, 0, "", ""},
        {{"--bogus", "--help"}, false, O::Bad, tool_text::UnknownOption, "--bogus", ""},
        {{"--bogus=1"}, false, O::Bad, tool_text::UnknownOption, "--bogus", ""},
        {{"-x"}, false, O::Bad, tool_text::UnknownOption, "-x", ""},
        {{"--name"}, false, O::Bad, tool_text::MissingOptionValue, "--name", ""},
        {{"--name", "bad"}, false, O::Bad, tool_text::BadDevice, "--name bad", "0=bad;"},
        {{"--name=bad"}, false, O::Bad, tool_text::BadDevice, "--name=bad", "0=bad;"},
        {{"--flag=1"}, false, O::Bad, tool_text::OptionTakesNoValue, "--flag=1", ""},
        {{"--flag", "extra"}, false, O::Bad, tool_text::ExtraArgument, "extra", "1=;"},
        {{"-"}, false, O::Bad, tool_text::ExtraArgument, "-", ""},
    };
    for (const Case& c : cases) {
        const Read read = ReadArgs(c.args, c.operands);
        const std::string what = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(read.result.outcome, c.outcome) << what;
        EXPECT_EQ(read.result.id, c.id) << what;
        EXPECT_EQ(read.result.argument, c.argument) << what;
        EXPECT_EQ(read.applied, c.applied) << what;
    }
}

std::string Contents(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
    return text;
}

TEST(CommandLine, AnswersHelpAndVersionOnStandardOutputAndABadArgumentOnStandardErrorWithTwo) {
    struct Case {
        CommandLineResult result;
        int status;
        const char* out;
        const char* err;
    };
    const std::string usage = "usage: tool [--name N]\n  more lines\n";
    const Case cases[] = {
        {{}, -1, "", ""},
        {{CommandLineOutcome::Help, 0, ""}, 0, "usage: tool [--name N]\n  more lines\n", ""},
        {{CommandLineOutcome::Version, 0, ""}, 0, "tool " QUORVEX_VERSION "\n", ""},
        {RefuseCommandLine(tool_text::UnknownOption, "--bogus"), 2, "",
         "tool: --bogus: unknown option\nusage: tool [--name N]\ntool --help shows more\n"},
        {RefuseCommandLine(tool_text::ScriptNeeded, ""), 2, "",
         "tool: --script FILE is needed\nusage: tool [--name N]\ntool --help shows more\n"},
    };
    for (const Case& c : cases) {
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        ASSERT_TRUE(out && err);
        EXPECT_EQ(AnswerCommandLine(c.result, "tool", usage, out, err), c.status);
        EXPECT_EQ(Contents(out), c.out);
        EXPECT_EQ(Contents(err), c.err);
        std::fclose(out);
        std::fclose(err);
    }
}
}  // namespace

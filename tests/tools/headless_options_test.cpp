// The headless panel's command line: the connection first, as the panel reads it, then the options.
#include <gtest/gtest.h>

#include <vector>

#include "tools/common/texts.h"
#include "tools/headless/headless_options.h"

namespace {
TEST(HeadlessOptions, ConnectionFirstThenOptionsInEitherValueForm) {
    using O = CommandLineOutcome;
    struct Case {
        std::vector<const char*> args;
        O outcome;
        unsigned id;
        const char* argument;
        int connectionArgs;
        uint32_t timeoutMs;
    };
    const Case cases[] = {
        {{"-l", "--script", "t.txt"}, O::Run, 0, "", 2, 60000},
        {{"-r", "PRESS7", "--script=t.txt", "--timeout=5000"}, O::Run, 0, "", 3, 5000},
        {{"--version"}, O::Version, 0, "", 0, 60000},
        {{"-l", "--help"}, O::Help, 0, "", 2, 60000},
        {{"--script", "t.txt"}, O::Bad, tool_text::ConnectionNeeded, "--script", 0, 60000},
        {{"-r", "A123456789012345678901234567890123", "--script", "t"}, O::Bad, tool_text::ConnectionNeeded, "-r", 0,
         60000},
        {{"-r", "10.0.0.7", "--script", "t"}, O::Run, 0, "", 3, 60000},
        {{"-r", "?", "--script", "t"}, O::Bad, tool_text::ConnectionNeeded, "-r", 0, 60000},
        {{"-r", "a\\b", "--script", "t"}, O::Bad, tool_text::ConnectionNeeded, "-r", 0, 60000},
        {{}, O::Bad, tool_text::ConnectionNeeded, "", 0, 60000},
        {{"-l"}, O::Bad, tool_text::ScriptNeeded, "", 2, 60000},
        {{"-l", "--script="}, O::Bad, tool_text::MissingOptionValue, "--script=", 2, 60000},
        {{"-l", "--script", "t", "--timeout", "0"}, O::Bad, tool_text::BadTimeout, "--timeout 0", 2, 60000},
        {{"-l", "--script", "t", "-l"}, O::Bad, tool_text::UnknownOption, "-l", 2, 60000},
    };
    for (const Case& c : cases) {
        std::vector<const char*> args = c.args;
        args.insert(args.begin(), "quorvex-headless.exe");
        HeadlessOptions o;
        const CommandLineResult r = ParseHeadlessOptions(static_cast<int>(args.size()), args.data(), o);
        const std::string what = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(r.outcome, c.outcome) << what;
        EXPECT_EQ(r.id, c.id) << what;
        EXPECT_EQ(r.argument, c.argument) << what;
        EXPECT_EQ(o.connectionArgs, c.connectionArgs) << what;
        EXPECT_EQ(o.timeoutMs, c.timeoutMs) << what;
    }
}
}  // namespace

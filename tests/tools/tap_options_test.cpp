// The tap's command line: the two devices and the capture, and each refusal with its argument.
#include <gtest/gtest.h>

#include <vector>

#include "tools/common/texts.h"
#include "tools/tap/tap_options.h"

namespace {
TEST(TapOptions, ParsesOrRefusesWithTheArgument) {
    struct Case {
        std::vector<const char*> args;
        unsigned id;
        const char* detail;
    };
    const Case cases[] = {
        {{"--listen", "2", "--control", "14", "--capture", "s.pcapng"}, tool_text::Ok, ""},
        {{"--control", "3", "--listen", "2"}, tool_text::Ok, ""},
        {{"--listen=2", "--control=3", "--capture=-"}, tool_text::Ok, ""},
        {{"--listen", "2"}, tool_text::TapDevicesMissing, "--control"},
        {{"--control", "2"}, tool_text::TapDevicesMissing, "--listen"},
        {{"--listen", "4", "--control", "4"}, tool_text::TapSameDevice, "--listen 4"},
        {{"--listen", "1", "--control", "4"}, tool_text::BadDevice, "--listen 1"},
        {{"--listen", "2", "--control", "15"}, tool_text::BadDevice, "--control 15"},
        {{"--listen", "2", "--control", "3", "--capture"}, tool_text::MissingOptionValue, "--capture"},
        {{"--listen", "2", "--control", "3", "--capture", ""}, tool_text::MissingOptionValue, "--capture "},
        {{"-l"}, tool_text::UnknownOption, "-l"},
        {{"--listen", "2", "--control", "3", "--capture", "s", "--force=yes"}, tool_text::OptionTakesNoValue,
         "--force=yes"},
    };
    for (const Case& c : cases) {
        std::vector<const char*> args = c.args;
        args.insert(args.begin(), "quorvex-tap.exe");
        TapOptions o;
        const CommandLineResult r = ParseTapOptions(static_cast<int>(args.size()), args.data(), o);
        EXPECT_EQ(r.id, c.id) << c.detail;
        EXPECT_EQ(r.outcome, c.id ? CommandLineOutcome::Bad : CommandLineOutcome::Run) << c.detail;
        EXPECT_EQ(r.argument, c.detail);
    }
    const char* full[] = {"tap", "--listen", "2", "--control", "14", "--capture", "-"};
    TapOptions o;
    ASSERT_EQ(ParseTapOptions(7, full, o).outcome, CommandLineOutcome::Run);
    EXPECT_EQ(o.listen, 2);
    EXPECT_EQ(o.control, 14);
    EXPECT_EQ(o.capturePath, "-");
    EXPECT_FALSE(o.overwrite);
    const char* forced[] = {"tap", "--force", "--listen", "2", "--control", "3", "--capture", "s.pcapng"};
    TapOptions f;
    ASSERT_EQ(ParseTapOptions(8, forced, f).outcome, CommandLineOutcome::Run);
    EXPECT_TRUE(f.overwrite);
}
}  // namespace

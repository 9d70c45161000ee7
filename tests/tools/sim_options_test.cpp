// The simulator's command line: defaults, each option, and the refusals with their argument.
#include <gtest/gtest.h>

#include <vector>

#include "tools/sim/options.h"
#include "tools/common/texts.h"

namespace {
unsigned Parse(std::vector<const char*> args, SimOptions& options, std::string& detail) {
    args.insert(args.begin(), "quorvex-sim.exe");
    const CommandLineResult result = ParseOptions(static_cast<int>(args.size()), args.data(), options);
    detail = result.argument;
    return result.outcome == CommandLineOutcome::Bad ? result.id : 0;
}

TEST(SimOptions, DefaultsAndEachOption) {
    SimOptions o;
    std::string detail;
    ASSERT_EQ(Parse({}, o, detail), 0u);
    EXPECT_EQ(o.device, 2);
    EXPECT_TRUE(o.scriptPath.empty());
    EXPECT_EQ(o.timeoutMs, 0u);

    SimOptions all;
    ASSERT_EQ(Parse({"--device", "14", "--script=t.txt", "--timeout", "2500"}, all, detail), 0u);
    EXPECT_EQ(all.device, 14);
    EXPECT_EQ(all.scriptPath, "t.txt");
    EXPECT_EQ(all.timeoutMs, 2500u);
}

TEST(SimOptions, RefusesBadArguments) {
    struct Case {
        std::vector<const char*> args;
        unsigned id;
        const char* detail;
    };
    const Case cases[] = {
        {{"--device", "1"}, tool_text::BadDevice, "--device 1"},
        {{"--device", "15"}, tool_text::BadDevice, "--device 15"},
        {{"--device", "2x"}, tool_text::BadDevice, "--device 2x"},
        {{"--device", ""}, tool_text::BadDevice, "--device "},
        {{"--device"}, tool_text::MissingOptionValue, "--device"},
        {{"--timeout", "0"}, tool_text::BadTimeout, "--timeout 0"},
        {{"--timeout", "3600001"}, tool_text::BadTimeout, "--timeout 3600001"},
        {{"--script"}, tool_text::MissingOptionValue, "--script"},
        {{"-l"}, tool_text::UnknownOption, "-l"},
        {{"--device", "3", "extra"}, tool_text::ExtraArgument, "extra"},
        {{"--device=15"}, tool_text::BadDevice, "--device=15"},
        {{"--replay", "a.pcapng", "--script", "t.txt"}, tool_text::ReplayWithScript, "--replay"},
        {{"--speed", "2"}, tool_text::SpeedWithoutReplay, "--speed"},
        {{"--replay", "a.pcapng", "--speed", "0"}, tool_text::BadSpeed, "--speed 0"},
        {{"--replay", "a.pcapng", "--speed", "-1"}, tool_text::BadSpeed, "--speed -1"},
    };
    for (const Case& c : cases) {
        SimOptions o;
        std::string detail;
        EXPECT_EQ(Parse(c.args, o, detail), c.id) << c.detail;
        EXPECT_EQ(detail, c.detail);
    }
}

TEST(SimOptions, ReplaySpeedsInThousandths) {
    struct Case {
        const char* text;
        uint32_t milli;  // 0: refused
    };
    const Case cases[] = {{"1", 1000},    {"2.5", 2500}, {"0.001", 1},   {"1000", 1000000}, {"10.", 10000},
                          {".5", 500},     {"0", 0},      {"0.0004", 0}, {"1000.001", 0},   {"1e3", 0},
                          {"", 0},         {"1.2.3", 0},  {"99999999999999999999", 0}};
    for (const Case& c : cases) EXPECT_EQ(ParseSpeed(c.text), c.milli) << c.text;
    SimOptions o;
    std::string detail;
    ASSERT_EQ(Parse({"--replay", "s.pcapng", "--speed", "4", "--device", "5"}, o, detail), 0u);
    EXPECT_EQ(o.replayPath, "s.pcapng");
    EXPECT_EQ(o.speedMilli, 4000u);
}

TEST(SimOptions, BoundaryDevicesAreAccepted) {
    for (const char* n : {"2", "14", "09"}) {
        SimOptions o;
        std::string detail;
        EXPECT_EQ(Parse({"--device", n}, o, detail), 0u) << n;
    }
}
}  // namespace

// Command-line rules of the connection step: which arguments are read, dialog or not, preset.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/link/connect_fake_platform.h"

namespace {

struct CommandLineCase {
    std::vector<std::string> args;  // after the program path
    bool showDialog;
    int remote;
    const char* name;
    int argsRead;  // how many arguments after the path are read
};

const std::string k32(32, 'N');
const std::string k33(33, 'N');

TEST(ConnectCommandLine, EveryRule) {
    const CommandLineCase cases[] = {
        {{}, true, 0, "", 0},
        {{"-l"}, false, 0, "", 1},
        {{"-L"}, false, 0, "", 1},
        {{"-l", "PLANT"}, false, 0, "", 1},
        {{"-x"}, true, 0, "", 1},
        {{"-lx"}, true, 0, "", 1},
        {{"/l"}, true, 0, "", 1},
        {{"l"}, true, 0, "", 1},
        {{"-"}, true, 0, "", 1},
        {{""}, true, 0, "", 1},
        {{"-rPLANT"}, true, 0, "", 1},
        {{"-r"}, true, 1, "", 1},
        {{"-R"}, true, 1, "", 1},
        {{"-r", "PLANT"}, false, 1, "PLANT", 2},
        {{"-R", "plant", "extra"}, false, 1, "plant", 2},
        {{"-r", k32}, false, 1, k32.c_str(), 2},
        {{"-r", k33}, true, 1, "", 2},
        // Only a computer's name is taken; any other opens Connect To, the name not copied.
        {{"-r", "PLANT-01"}, false, 1, "PLANT-01", 2},
        {{"-r", "10.0.0.7"}, false, 1, "10.0.0.7", 2},
        {{"-r", ""}, true, 1, "", 2},
        {{"-r", "?"}, true, 1, "", 2},
        {{"-r", "."}, true, 1, "", 2},
        {{"-R", "a\\b"}, true, 1, "", 2},
        {{"-r", "a/b"}, true, 1, "", 2},
        {{"-r", "c:"}, true, 1, "", 2},
        {{"-r", "-x"}, true, 1, "", 2},
    };
    for (const CommandLineCase& c : cases) {
        std::string label = "args:";
        for (const std::string& a : c.args) label += " [" + a + "]";
        SCOPED_TRACE(label);
        FakeConnectPlatform platform;
        platform.args.insert(platform.args.end(), c.args.begin(), c.args.end());
        const connect_logic::CommandLineChoice got = connect_logic::ChooseFromCommandLine(platform);
        EXPECT_EQ(got.showDialog, c.showDialog);
        EXPECT_EQ(got.choice.remote, c.remote);
        EXPECT_STREQ(got.choice.computerName, c.name);
        ASSERT_FALSE(platform.log.empty());
        EXPECT_EQ(platform.log.front(), "count");
        EXPECT_EQ(platform.Count("arg "), static_cast<size_t>(c.argsRead));
        EXPECT_EQ(platform.Count("usage error"), 0u);
    }
}

TEST(ConnectCommandLine, DialogOpensWithThePreset) {
    const struct {
        std::vector<std::string> args;
        int remote;
    } cases[] = {{{}, 0}, {{"-x"}, 0}, {{"-r"}, 1}, {{"-r", k33}, 1}, {{"-r", "?"}, 1}, {{"-r", ""}, 1}};
    for (const auto& c : cases) {
        FakeConnectPlatform platform;
        platform.args.insert(platform.args.end(), c.args.begin(), c.args.end());
        platform.dialogOk = false;
        int flag = -7;
        EXPECT_EQ(connect_logic::Connect(platform, &flag), 62204u);
        EXPECT_EQ(platform.dialogShown, 1);
        EXPECT_EQ(platform.dialogSaw.remote, c.remote);
        EXPECT_STREQ(platform.dialogSaw.computerName, "");
        EXPECT_EQ(flag, -7);
    }
}

TEST(ConnectCommandLine, NoDialogWhenTheCommandLineDecides) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-L"}, std::vector<std::string>{"-r", k32}}) {
        FakeConnectPlatform platform;
        platform.args.insert(platform.args.end(), args.begin(), args.end());
        platform.openable = {LocalRead(2), LocalWrite(2), "\\\\" + k32 + "\\pipe\\QuorvexRead2",
                             "\\\\" + k32 + "\\pipe\\QuorvexWrite2"};
        int flag = -7;
        EXPECT_EQ(connect_logic::Connect(platform, &flag), 0u);
        EXPECT_EQ(platform.dialogShown, 0);
    }
}

// A name the dialog hands back is checked too: a bad one reaches no network call and no pipe name.
TEST(ConnectCommandLine, DialogNameIsChecked) {
    const struct {
        int remote;
        const char* name;
        unsigned result;
    } cases[] = {
        {1, "", text_id::BadComputerName},
        {1, "?", text_id::BadComputerName},
        {1, "a\\b", text_id::BadComputerName},
        {1, "PLANT.", text_id::BadComputerName},
        {1, "plant_02.example.local", 0},
        {0, "?", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeConnectPlatform platform;
        platform.dialogRemote = c.remote;
        platform.dialogName = c.name;
        platform.openable = {LocalRead(2), LocalWrite(2), std::string("\\\\") + c.name + "\\pipe\\QuorvexRead2",
                             std::string("\\\\") + c.name + "\\pipe\\QuorvexWrite2"};
        int flag = -7;
        EXPECT_EQ(connect_logic::Connect(platform, &flag), c.result);
        EXPECT_EQ(platform.dialogShown, 1);
        if (c.result == 0) continue;
        EXPECT_EQ(flag, -7);
        EXPECT_EQ(platform.Count("silent") + platform.Count("password") + platform.Count("open"), 0u);
        EXPECT_EQ(platform.maxBusyDepth, 0);
        EXPECT_TRUE(platform.kept.empty());
    }
}

}  // namespace

// The connection step's outcomes: probing devices 2..14, one-sided pairs, reader start, network
// access, busy state and the success report.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/text_ids.h"
#include "tests/link/connect_fake_platform.h"

namespace {

std::vector<std::string> Opens(const FakeConnectPlatform& p) {
    std::vector<std::string> opens;
    for (const std::string& entry : p.log)
        if (entry.compare(0, 5, "open ") == 0) opens.push_back(entry);
    return opens;
}

std::vector<std::string> ExpectedOpens(int first, int last, const std::string& part = ".") {
    std::vector<std::string> opens;
    for (int n = first; n <= last; ++n) {
        opens.push_back("open read \\\\" + part + "\\pipe\\QuorvexRead" + std::to_string(n) + " (busy)");
        opens.push_back("open write \\\\" + part + "\\pipe\\QuorvexWrite" + std::to_string(n) + " (busy)");
    }
    return opens;
}

struct ProbeCase {
    const char* label;
    std::vector<std::string> openable;
    bool readerStarts;
    unsigned result;
    int lastDeviceTried;
    size_t closes;
};

TEST(ConnectProbe, ResultsTable) {
    const ProbeCase cases[] = {
        {"device 2", {LocalRead(2), LocalWrite(2)}, true, 0, 2, 0},
        {"only device 5", {LocalRead(5), LocalWrite(5)}, true, 0, 5, 0},
        {"only device 14", {LocalRead(14), LocalWrite(14)}, true, 0, 14, 0},
        {"no pipes", {}, true, text_id::NoPipeDevice, 14, 0},
        {"read side only", {LocalRead(2), LocalRead(3), LocalWrite(3)}, true, text_id::WriteAccessDenied, 2, 1},
        {"write side only", {LocalWrite(2), LocalRead(3), LocalWrite(3)}, true, text_id::ReadAccessDenied, 2, 1},
        {"write side only at 7", {LocalWrite(7), LocalRead(8), LocalWrite(8)}, true, text_id::ReadAccessDenied, 7, 1},
        {"reader cannot start", {LocalRead(3), LocalWrite(3)}, false, text_id::CannotCreateObject, 3, 2},
    };
    for (const ProbeCase& c : cases) {
        SCOPED_TRACE(c.label);
        FakeConnectPlatform platform;
        platform.args.push_back("-l");
        platform.readerStarts = c.readerStarts;
        platform.openable.insert(c.openable.begin(), c.openable.end());
        int flag = -7;
        EXPECT_EQ(connect_logic::Connect(platform, &flag), c.result);
        EXPECT_EQ(Opens(platform), ExpectedOpens(2, c.lastDeviceTried));
        EXPECT_EQ(platform.Count("close "), c.closes);
        EXPECT_EQ(platform.busyDepth, 0);
        EXPECT_EQ(platform.maxBusyDepth, 1);
        if (c.result == 0) {
            EXPECT_EQ(flag, 1);
            EXPECT_TRUE(platform.openHandles.size() == 2);
            EXPECT_EQ(platform.readerPipes.size(), 2u);
            EXPECT_EQ(platform.status["1"], "Connected to device " + std::to_string(c.lastDeviceTried));
        } else {
            EXPECT_EQ(flag, -7);
            EXPECT_TRUE(platform.openHandles.empty());
            EXPECT_TRUE(platform.status.empty());
            EXPECT_TRUE(platform.title.empty());
        }
    }
}

TEST(ConnectProbe, LocalSuccessReportsInOrder) {
    FakeConnectPlatform platform;
    platform.args.push_back("-L");
    platform.openable = {LocalRead(2), LocalWrite(2)};
    int flag = 0;
    ASSERT_EQ(connect_logic::Connect(platform, &flag), 0u);
    EXPECT_EQ(flag, 1);
    const std::vector<std::string> tail(platform.log.end() - 4, platform.log.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"start reader", "status 0 LOCAL", "title LOCAL - Quorvex",
                                              "status 1 Connected to device 2"}));
    // Read pipe first, write pipe second, as the reader expects them.
    ASSERT_EQ(platform.readerPipes.size(), 2u);
    EXPECT_LT(reinterpret_cast<uintptr_t>(platform.readerPipes[0]),
              reinterpret_cast<uintptr_t>(platform.readerPipes[1]));
}

TEST(ConnectProbe, TheFlagIsRightWhenTheReaderStarts) {
    const struct {
        std::vector<std::string> args;
        bool readerStarts;
        int atStart;
        int after;
    } rows[] = {
        {{"-l"}, true, 1, 1},
        {{"-r", "PLANT"}, true, 0, 0},
        {{"-l"}, false, 1, -7},  // a reader that cannot start leaves the flag as it was
    };
    for (const auto& r : rows) {
        FakeConnectPlatform platform;
        platform.args.insert(platform.args.end(), r.args.begin(), r.args.end());
        platform.readerStarts = r.readerStarts;
        platform.openable = {LocalRead(2), LocalWrite(2), "\\\\PLANT\\pipe\\QuorvexRead2",
                             "\\\\PLANT\\pipe\\QuorvexWrite2"};
        int flag = -7;
        platform.watchedFlag = &flag;
        connect_logic::Connect(platform, &flag);
        EXPECT_EQ(platform.flagAtReaderStart, r.atStart) << r.args[0];
        EXPECT_EQ(flag, r.after) << r.args[0];
    }
}

TEST(ConnectProbe, CancelledDialogNeverEntersBusy) {
    FakeConnectPlatform platform;
    platform.dialogOk = false;
    platform.openable = {LocalRead(2), LocalWrite(2)};
    EXPECT_EQ(connect_logic::Connect(platform, nullptr), 62204u);
    EXPECT_EQ(platform.maxBusyDepth, 0);
    EXPECT_TRUE(Opens(platform).empty());
}

TEST(ConnectProbe, DialogChoiceIsUsed) {
    FakeConnectPlatform platform;
    platform.dialogRemote = 0;
    platform.openable = {LocalRead(4), LocalWrite(4)};
    int flag = 0;
    EXPECT_EQ(connect_logic::Connect(platform, &flag), 0u);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(platform.Count("silent"), 0u);
    EXPECT_EQ(platform.status["1"], "Connected to device 4");
}

TEST(ConnectProbe, FallbackPipeNamesWithoutStringTable) {
    FakeConnectPlatform platform;
    platform.args.push_back("-l");
    platform.textsAvailable = false;
    platform.openable = {LocalRead(2), LocalWrite(2)};
    EXPECT_EQ(connect_logic::Connect(platform, nullptr), 0u);
}

struct RemoteCase {
    const char* label;
    std::vector<std::string> args;
    int dialogRemote;
    const char* dialogName;
    bool silent;
    bool password;
    unsigned result;
    const char* part;  // computer part of the pipe names
    std::vector<std::string> access;  // network steps in order
    bool existed;                     // a connection to the computer was there before
    std::vector<std::string> kept;    // what the link will cancel when it closes
};

TEST(ConnectRemote, AccessRoad) {
    const RemoteCase cases[] = {
        {"silent access", {"-r", "PLANT"}, 0, "", true, true, 0, "PLANT", {"silent \\\\PLANT (busy)"}, false,
         {"\\\\PLANT"}},
        {"silent access on a connection there before", {"-r", "PLANT"}, 0, "", true, true, 0, "PLANT",
         {"silent \\\\PLANT (busy)"}, true, {}},
        {"password accepted", {"-R", "PLANT"}, 0, "", false, true, 0, "PLANT",
         {"silent \\\\PLANT (busy)", "password \\\\PLANT (busy)"}, false, {"\\\\PLANT"}},
        {"password accepted beside another connection", {"-R", "PLANT"}, 0, "", false, true, 0, "PLANT",
         {"silent \\\\PLANT (busy)", "password \\\\PLANT (busy)"}, true, {"\\\\PLANT"}},
        {"password cancelled", {"-r", "PLANT"}, 0, "", false, false, text_id::RemoteAccessDenied, "PLANT",
         {"silent \\\\PLANT (busy)", "password \\\\PLANT (busy)"}, false, {}},
        {"remote from dialog", {}, 1, "HOST7", true, true, 0, "HOST7", {"silent \\\\HOST7 (busy)"}, false,
         {"\\\\HOST7"}},
    };
    for (const RemoteCase& c : cases) {
        SCOPED_TRACE(c.label);
        FakeConnectPlatform platform;
        platform.args.insert(platform.args.end(), c.args.begin(), c.args.end());
        platform.dialogRemote = c.dialogRemote;
        platform.dialogName = c.dialogName;
        platform.silentAccess = c.silent;
        platform.passwordOk = c.password;
        platform.connectionExisted = c.existed;
        const std::string part = c.part;
        platform.openable = {"\\\\" + part + "\\pipe\\QuorvexRead3", "\\\\" + part + "\\pipe\\QuorvexWrite3"};
        int flag = -7;
        EXPECT_EQ(connect_logic::Connect(platform, &flag), c.result);
        std::vector<std::string> access;
        for (const std::string& entry : platform.log)
            if (entry.rfind("silent", 0) == 0 || entry.rfind("password", 0) == 0) access.push_back(entry);
        EXPECT_EQ(access, c.access);
        EXPECT_EQ(platform.kept, c.kept);
        EXPECT_EQ(platform.busyDepth, 0);
        if (c.result == 0) {
            EXPECT_EQ(flag, 0);
            EXPECT_EQ(Opens(platform), ExpectedOpens(2, 3, part));
            EXPECT_EQ(platform.status["0"], part);
            EXPECT_EQ(platform.title, part + " - Quorvex");
            EXPECT_EQ(platform.status["1"], "Connected to device 3");
        } else {
            EXPECT_EQ(flag, -7);
            EXPECT_TRUE(Opens(platform).empty());
            EXPECT_EQ(platform.log.back(), "busy off");
        }
    }
}

TEST(ConnectRemote, RemoteNameFormat) {
    char out[40];
    connect_logic::FormatRemoteName("PLANT", out, sizeof(out));
    EXPECT_STREQ(out, "\\\\PLANT");
    connect_logic::FormatRemoteName("ABCDEFGH", out, 6);
    EXPECT_STREQ(out, "\\\\ABC");
}

}  // namespace

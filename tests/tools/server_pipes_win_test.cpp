// What the tools ask of the system when they offer a device's pipes to a panel: the names the
// panel opens, and remote clients refused unless --allow-remote is given. Wine does not enforce
// the refusal, so the creation itself is watched through the creator seam.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "link/pipe_server_win.h"
#include "tools/sim/options.h"
#include "tools/sim/pipes_win.h"
#include "tools/tap/tap_options.h"
#include "tools/tap/tap_pipes_win.h"

namespace {

struct Creation {
    std::string name;
    DWORD pipeMode;
};
std::vector<Creation> g_created;

// Records the creation and hands back a handle the caller may close.
HANDLE WINAPI RecordingCreator(LPCSTR name, DWORD, DWORD pipeMode, DWORD, DWORD, DWORD, DWORD, LPSECURITY_ATTRIBUTES) {
    g_created.push_back({name, pipeMode});
    return CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

void OfferAsSimulator(int argc, const char* const* argv) {
    SimOptions options;
    ASSERT_EQ(ParseOptions(argc, argv, options).outcome, CommandLineOutcome::Run);
    PipePair pipes;
    std::string detail;
    ASSERT_EQ(pipes.Create(options, detail), 0u) << detail;
}

void OfferAsTap(int argc, const char* const* argv) {
    TapOptions options;
    ASSERT_EQ(ParseTapOptions(argc, argv, options).outcome, CommandLineOutcome::Run);
    HANDLE display = INVALID_HANDLE_VALUE;
    HANDLE commands = INVALID_HANDLE_VALUE;
    std::string detail;
    ASSERT_EQ(CreatePanelPipes(options, display, commands, detail), 0u) << detail;
    ClosePipe(display);
    ClosePipe(commands);
}

TEST(ServerPipes, RemoteClientsRefusedUnlessAllowed) {
    const char* simDefault[] = {"quorvex-sim", "--device", "5"};
    const char* simRemote[] = {"quorvex-sim", "--device", "5", "--allow-remote"};
    const char* tapDefault[] = {"quorvex-tap", "--listen", "5", "--control", "6"};
    const char* tapRemote[] = {"quorvex-tap", "--allow-remote", "--listen", "5", "--control", "6"};
    const struct {
        const char* who;
        void (*offer)(int, const char* const*);
        int argc;
        const char* const* argv;
        bool refused;
        const char* usage;
    } cases[] = {
        {"sim", &OfferAsSimulator, 3, simDefault, true, UsageText()},
        {"sim --allow-remote", &OfferAsSimulator, 4, simRemote, false, UsageText()},
        {"tap", &OfferAsTap, 5, tapDefault, true, TapUsage()},
        {"tap --allow-remote", &OfferAsTap, 6, tapRemote, false, TapUsage()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.who);
        EXPECT_NE(std::string(c.usage).find("--allow-remote"), std::string::npos) << "not in --help";
        g_created.clear();
        const pipe_server::Creator before = pipe_server::UseCreator(&RecordingCreator);
        c.offer(c.argc, c.argv);
        pipe_server::UseCreator(before);
        ASSERT_EQ(g_created.size(), 2u);
        const char* const names[2] = {"\\\\.\\pipe\\QuorvexRead5", "\\\\.\\pipe\\QuorvexWrite5"};
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(g_created[i].name, names[i]);
            EXPECT_EQ((g_created[i].pipeMode & PIPE_REJECT_REMOTE_CLIENTS) != 0, c.refused) << names[i];
            EXPECT_EQ(g_created[i].pipeMode & ~static_cast<DWORD>(PIPE_REJECT_REMOTE_CLIENTS),
                      static_cast<DWORD>(PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT));
        }
    }
}

}  // namespace

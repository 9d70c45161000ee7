// quorvex-headless.exe: plays the panel for a control application, without a window, and runs a
// test script against it: exit 0 when every expectation held, 1 when one did not, 2 when the
// command line, the script or the connection is bad.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/common/console_lines_win.h"
#include "tools/common/option_args.h"
#include "tools/common/texts.h"
#include "tools/headless/headless_link_win.h"
#include "tools/headless/headless_runner.h"
#include "tools/headless/headless_script.h"

namespace {
constexpr int kPassed = 0;
constexpr int kFailed = 1;
constexpr int kBadSetup = 2;
constexpr uint32_t kDefaultTimeoutMs = 60000;
constexpr int64_t kMaxTimeoutMs = 3600000;
constexpr size_t kMaxNameLength = 32;

enum OptionId { Script, Timeout, Help };
constexpr OptionDef kOptions[] = {
    {"--script", Script, true}, {"--timeout", Timeout, true}, {"--help", Help, false}, {"-h", Help, false}};

struct Options {
    int connectionArgs = 0;  // argv[0] and the -l or -r NAME that the connection step reads
    std::string scriptPath;
    uint32_t timeoutMs = kDefaultTimeoutMs;
    bool help = false;
};

std::string Usage() {
    return "usage: quorvex-headless (-l | -r NAME) --script FILE [--timeout MS]\n"
           "  Connects as the panel does (devices 2..14 on this computer, or on NAME), answers the\n"
           "  identification, sends P, P, K, keeps the 20 x 40 display and plays FILE:\n"
           "    key NAME               a panel key by its legend (LINE UP, ADJUST DOWN, FAST, 7, ENTER, ...)\n"
           "    keyboard VK            a computer key: one letter or digit, a code, or a name (VK_RETURN)\n"
           "    click LINE             a click on display line 1..20\n"
           "    branch TEXT            Branch To with this text\n"
           "    expect TEXT [MS]       TEXT shows anywhere on the screen within MS (default 3000)\n"
           "    expect-line ROW TEXT [MS]  line ROW (1..20) shows TEXT (trailing blanks ignored)\n"
           "    expect-screen FILE [MS]    the screen equals FILE (as quorvex-dump --screen prints it)\n"
           "    screen                 prints the screen\n"
           "    expect-exit [MS]       the control sends its exit notice\n"
           "    wait MS                pauses;   # starts a comment\n"
           "  TEXT escapes: \\n \\r \\t \\xHH \\\\; a last word of digits on an expect line is its time-out.\n"
           "  --timeout MS limits the whole run (default 60000).\n"
           "exit status: 0 every expectation held, 1 one failed (the line and the screen are printed),\n"
           "  2 bad command line or script, or no connection (the panel's own message is printed)\n";
}

bool IsOneOf(const char* arg, const char* a, const char* b) {
    return std::strcmp(arg, a) == 0 || std::strcmp(arg, b) == 0;
}

unsigned ParseCommandLine(int argc, char** argv, Options& o, std::string& detail) {
    if (argc >= 2 && IsOneOf(argv[1], "--help", "-h")) {
        o.help = true;
        return tool_text::Ok;
    }
    detail = argc >= 2 ? argv[1] : "";
    if (argc >= 2 && IsOneOf(argv[1], "-l", "-L")) o.connectionArgs = 2;
    if (argc >= 3 && IsOneOf(argv[1], "-r", "-R") && std::strlen(argv[2]) <= kMaxNameLength) o.connectionArgs = 3;
    if (!o.connectionArgs) return tool_text::ConnectionNeeded;
    const unsigned id = WalkOptions(
        argc, argv, o.connectionArgs, kOptions, sizeof(kOptions) / sizeof(kOptions[0]),
        [&](int option, const char* value) {
            switch (option) {
                case Script:
                    o.scriptPath = value;
                    return tool_text::Ok;
                case Timeout: {
                    const int64_t ms = DecimalArg(value, 1, kMaxTimeoutMs);
                    o.timeoutMs = static_cast<uint32_t>(ms);
                    return ms > 0 ? tool_text::Ok : tool_text::BadTimeout;
                }
                default:
                    o.help = true;
                    return tool_text::Ok;
            }
        },
        detail);
    if (id != tool_text::Ok || o.help) return id;
    if (o.scriptPath.empty()) return tool_text::ScriptNeeded;
    return tool_text::Ok;
}

bool ReadFile(const std::string& path, std::string& content) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream text;
    text << file.rdbuf();
    content = text.str();
    return true;
}

// Screen files are named relative to the script's folder unless the name is absolute.
std::string BesideScript(const std::string& scriptPath, const std::string& name) {
    const bool absolute = (!name.empty() && (name[0] == '\\' || name[0] == '/')) || (name.size() > 1 && name[1] == ':');
    const size_t slash = scriptPath.find_last_of("\\/");
    return absolute || slash == std::string::npos ? name : scriptPath.substr(0, slash + 1) + name;
}

void Raw(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}
}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string detail;
    const unsigned id = ParseCommandLine(argc, argv, options, detail);
    if (id != tool_text::Ok) {
        std::fprintf(stderr, "quorvex-headless: %s%s%s\n%s", detail.c_str(), detail.empty() ? "" : ": ",
                     tool_text::Text(id), Usage().c_str());
        return kBadSetup;
    }
    if (options.help) {
        Raw(Usage());
        return kPassed;
    }
    std::string text;
    if (!ReadFile(options.scriptPath, text)) {
        Complain(options.scriptPath + ": " + tool_text::Text(tool_text::ScriptUnreadable));
        return kBadSetup;
    }
    std::vector<HeadlessStep> steps;
    ScriptError error;
    const auto readScreen = [&](const std::string& name, std::string& content) {
        return ReadFile(BesideScript(options.scriptPath, name), content);
    };
    if (ParseHeadlessScript(text, readScreen, steps, error) != tool_text::Ok) {
        Complain(options.scriptPath + " line " + std::to_string(error.line) + ": " + tool_text::Text(error.id) +
                 (error.detail.empty() ? "" : ": " + error.detail));
        return kBadSetup;
    }

    HeadlessLink link;
    std::string failure;
    if (link.Connect(options.connectionArgs, argv, &failure) != 0) {
        Complain("connect: " + failure);
        return kBadSetup;
    }
    Say("connected: " + link.Connection() + "; script " + options.scriptPath + ": " + std::to_string(steps.size()) +
        (steps.size() == 1 ? " step" : " steps"));
    // The panel's first commands after connecting.
    link.SendCommand({panel_command::ExitKey, 0, 0});
    link.SendCommand({panel_command::ExitKey, 0, 0});
    link.SendCommand({panel_command::CursorKey, panel_command::Up, 0});

    HeadlessRunner runner(link, Say, Raw);
    const HeadlessResult result = runner.Run(steps, options.timeoutMs);
    const ScreenCopy last = link.Screen();
    link.Close();
    if (result.passed) {
        Say(result.message);
        return kPassed;
    }
    Complain("FAILED " + result.message);
    std::fputs(("screen:\n" + FormatScreen(last)).c_str(), stderr);
    return kFailed;
}

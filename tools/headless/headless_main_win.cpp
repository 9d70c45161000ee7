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
#include "tools/common/texts.h"
#include "tools/headless/headless_link_win.h"
#include "tools/headless/headless_options.h"
#include "tools/headless/headless_runner.h"
#include "tools/headless/headless_script.h"

namespace {
constexpr int kPassed = 0;
constexpr int kFailed = 1;
constexpr int kBadSetup = 2;

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
    HeadlessOptions options;
    const int answered =
        AnswerCommandLine(ParseHeadlessOptions(argc, argv, options), "quorvex-headless", HeadlessUsage(), stdout, stderr);
    if (answered >= 0) return answered;
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

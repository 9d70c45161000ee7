// Script mode: one panel, one script, exit 0 when every expectation held and 1 when one did not.
#include <fstream>
#include <sstream>
#include <vector>

#include "tools/sim/console_win.h"
#include "tools/sim/pipes_win.h"
#include "tools/sim/script.h"
#include "tools/sim/script_runner.h"
#include "tools/common/texts.h"

namespace {
constexpr int kPassed = 0;
constexpr int kFailed = 1;
constexpr int kBadSetup = 2;

unsigned ReadScript(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return tool_text::ScriptUnreadable;
    std::ostringstream content;
    content << file.rdbuf();
    text = content.str();
    return tool_text::Ok;
}
}  // namespace

int RunScript(const SimOptions& options) {
    std::string text;
    if (ReadScript(options.scriptPath, text) != tool_text::Ok) {
        Complain(options.scriptPath + ": " + tool_text::Text(tool_text::ScriptUnreadable));
        return kBadSetup;
    }
    std::vector<ScriptStep> steps;
    ScriptError error;
    if (ParseScript(text, steps, error) != tool_text::Ok) {
        Complain(options.scriptPath + " line " + std::to_string(error.line) + ": " + tool_text::Text(error.id) +
                 (error.detail.empty() ? "" : ": " + error.detail));
        return kBadSetup;
    }
    PipePair pipes;
    std::string detail;
    unsigned id = pipes.Create(options.device, detail);
    if (id != tool_text::Ok) {
        Complain(std::string(tool_text::Text(id)) + ": " + detail);
        return kBadSetup;
    }
    Say("script " + options.scriptPath + ": " + std::to_string(steps.size()) + (steps.size() == 1 ? " step on " : " steps on ") + pipes.ReadPipeName() +
        " / " + pipes.WritePipeName());
    SystemClock clock;
    ScriptRunner runner(pipes, clock, Say);
    RunResult result = runner.Run(steps, options.timeoutMs ? options.timeoutMs : DefaultScriptTimeoutMs);
    pipes.Close();
    if (result.passed) {
        Say(result.message);
        return kPassed;
    }
    Complain("FAILED " + result.message);
    return kFailed;
}

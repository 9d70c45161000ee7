// Script mode: one panel, one script, exit 0 when every expectation held and 1 when one did not.
#include <vector>

#include "tools/sim/console_win.h"
#include "tools/sim/pipes_win.h"
#include "tools/sim/script.h"
#include "tools/sim/script_runner.h"
#include "tools/common/escapes.h"
#include "tools/common/script_file.h"
#include "tools/common/texts.h"

namespace {
constexpr int kPassed = 0;
constexpr int kFailed = 1;
constexpr int kBadSetup = 2;
// A binary file is all errors: the first ones tell enough.
constexpr size_t kMaxErrorsShown = 20;

std::string Problem(const std::string& script, const ScriptError& e) {
    return PrintableText(script) + (e.line ? " line " + std::to_string(e.line) : std::string()) + ": " +
           tool_text::Text(e.id) + (e.detail.empty() ? "" : ": " + PrintableText(e.detail));
}
}  // namespace

int RunScript(const SimOptions& options) {
    const std::string& script = options.scriptPath;
    std::string text;
    const unsigned read = ReadScriptFile(script, text);
    if (read != tool_text::Ok) {
        Complain(Problem(script, {0, read, ""}));
        return kBadSetup;
    }
    std::vector<ScriptStep> steps;
    ScriptReport report;
    ParseScript(text, steps, report);
    for (const ScriptError& note : report.notes) Complain(Problem(script, note) + " (note)");
    for (size_t i = 0; i < report.errors.size() && i < kMaxErrorsShown; ++i) Complain(Problem(script, report.errors[i]));
    if (report.errors.size() > kMaxErrorsShown)
        Complain(PrintableText(script) + ": " + std::to_string(report.errors.size() - kMaxErrorsShown) + " more errors");
    if (!report.errors.empty()) return kBadSetup;
    PipePair pipes;
    std::string detail;
    unsigned id = pipes.Create(options, detail);
    if (id != tool_text::Ok) {
        Complain(std::string(tool_text::Text(id)) + ": " + detail);
        return kBadSetup;
    }
    Say("script " + PrintableText(script) + ": " + std::to_string(steps.size()) + (steps.size() == 1 ? " step on " : " steps on ") + pipes.ReadPipeName() +
        " / " + pipes.WritePipeName());
    SystemClock clock;
    ScriptRunner runner(pipes, clock, Say);
    const uint32_t limitMs = options.timeoutMs ? options.timeoutMs : DefaultScriptTimeoutMs;
    const ULONGLONG startMs = GetTickCount64();
    RunResult result = runner.Run(steps, limitMs);
    if (!result.passed && GetTickCount64() - startMs >= limitMs) pipes.SendExitNotice();
    pipes.Close();
    if (result.passed) {
        Say(result.message);
        return kPassed;
    }
    Complain("FAILED " + PrintableText(script) + (result.line ? " " : ": ") + result.message);
    return kFailed;
}
